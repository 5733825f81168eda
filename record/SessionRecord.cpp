#include "SessionRecord.h"

#include <cstdio>

SessionRecord g_sessionRecord;

namespace {
const char kByteOrderMark[] = "\xEF\xBB\xBF";
const char kFullLine[] = "The record has reached its limit of 20 MB: nothing more is written to it.";

// "2026-12-11 14:25:03.123 " into `out`, which holds at least 32 bytes.
int FormatTime(char* out)
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return ::wsprintfA(out, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth, now.wDay, now.wHour,
                       now.wMinute, now.wSecond, now.wMilliseconds);
}

std::string OneLine(const std::string& text)
{
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        // A CR LF pair is one line end; a line end at the very end is dropped.
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        if (i + 1 < text.size())
            line += " | ";
    }
    return line;
}
}  // namespace

SessionRecord::~SessionRecord() { Close(); }

bool SessionRecord::Open(const std::wstring& path, unsigned long long sizeLimit)
{
    Close();
    // Others may read the record while the program runs (the engineer in
    // Notepad), but nobody may delete it: another copy of the program
    // pruning old records leaves this one alone.
    HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        wchar_t reason[MAX_PATH + 96];
        std::swprintf(reason, sizeof reason / sizeof reason[0],
                      L"Brantel: no session record: %ls cannot be created (error %lu)\n", path.c_str(),
                      ::GetLastError());
        ::OutputDebugStringW(reason);
        return false;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    m_file = file;
    m_written = 0;
    m_limit = sizeLimit;
    m_full = false;
    // Notepad on older Windows 10 takes a UTF-8 file for ANSI without it.
    Append(kByteOrderMark, sizeof kByteOrderMark - 1);
    m_written = sizeof kByteOrderMark - 1;
    return true;
}

void SessionRecord::Close()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (HANDLE file = m_file.exchange(nullptr))
        ::CloseHandle(file);
}

void SessionRecord::Append(const char* data, DWORD size)
{
    DWORD written = 0;
    ::WriteFile(m_file.load(), data, size, &written, nullptr);
}

void SessionRecord::Write(const std::string& line)
{
    if (!m_file)
        return;
    char time[32];
    const int timeLength = FormatTime(time);
    std::string text = time + OneLine(line) + "\r\n";

    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_file || m_full)
        return;
    const unsigned long long fullLineSize = timeLength + sizeof kFullLine - 1 + 2;
    if (m_written + text.size() + fullLineSize > m_limit) {
        text = std::string(time) + kFullLine + "\r\n";
        m_full = true;
    }
    Append(text.data(), static_cast<DWORD>(text.size()));
    m_written += text.size();
}

void SessionRecord::WriteFault(const wchar_t* reportPath)
{
    // Static buffers: nothing here may allocate.
    static char line[1024];  // wsprintfA writes at most 1024 bytes
    static char path[MAX_PATH * 3];
    if (!m_file || m_full)
        return;
    int length = FormatTime(line);
    if (reportPath && ::WideCharToMultiByte(CP_UTF8, 0, reportPath, -1, path, sizeof path, nullptr, nullptr) > 0)
        length += ::wsprintfA(line + length, "fault: the program failed; crash report %s\r\n", path);
    else
        length += ::wsprintfA(line + length, "fault: the program failed; no crash report could be written\r\n");
    Append(line, static_cast<DWORD>(length));
}
