#include "ReportFile.h"

bool CReportFile::Open(const wchar_t* path)
{
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    m_file = file;
    return true;
}

void CReportFile::Write(const void* data, DWORD size)
{
    DWORD written = 0;
    ::WriteFile(m_file, data, size, &written, nullptr);
}

void CReportFile::Close()
{
    if (m_file)
        ::CloseHandle(m_file);
    m_file = nullptr;
}
