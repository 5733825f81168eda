#include "LocalFile.h"

long long LocalFileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

LocalFile::~LocalFile() { Close(); }

bool LocalFile::OpenForReading(const char* path)
{
    m_file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    return m_file != INVALID_HANDLE_VALUE;
}

bool LocalFile::CreateForWriting(const char* path)
{
    m_file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return m_file != INVALID_HANDLE_VALUE;
}

long long LocalFile::Size() const
{
    LARGE_INTEGER size;
    return ::GetFileSizeEx(m_file, &size) ? size.QuadPart : -1;
}

long LocalFile::Read(char* buffer, unsigned long size)
{
    DWORD read = 0;
    return ::ReadFile(m_file, buffer, size, &read, nullptr) ? static_cast<long>(read) : -1;
}

bool LocalFile::Write(const char* data, unsigned long size)
{
    DWORD written = 0;
    return ::WriteFile(m_file, data, size, &written, nullptr) && written == size;
}

bool LocalFile::Close()
{
    if (m_file == INVALID_HANDLE_VALUE)
        return true;
    const bool ok = ::CloseHandle(m_file) != FALSE;
    m_file = INVALID_HANDLE_VALUE;
    return ok;
}
