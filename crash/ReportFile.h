#pragma once
// The crash report file: written byte for byte, opened only inside the filter.
// Constant-initialised, so it is usable before any static constructor runs.
#include <windows.h>

class CReportFile {
public:
    // Creates the file, or truncates it, for writing only and unshared.
    bool Open(const wchar_t* path);
    bool IsOpen() const { return m_file != nullptr; }
    // Failures go unnoticed: the same text reaches the debugger output anyway.
    void Write(const void* data, DWORD size);
    void Close();

private:
    HANDLE m_file = nullptr;
};
