#pragma once
// A file on the PC, read or written in binary, closed with the object.
#include <windows.h>

// The size of the file `path`; -1 when there is no such file.
long long LocalFileSize(const char* path);

class LocalFile {
public:
    LocalFile() = default;
    ~LocalFile();
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;

    bool OpenForReading(const char* path);
    bool CreateForWriting(const char* path);
    // -1 when the size cannot be read.
    long long Size() const;
    // Bytes read, 0 at the end, -1 on an error.
    long Read(char* buffer, unsigned long size);
    bool Write(const char* data, unsigned long size);
    // False when the file could not be flushed and closed.
    bool Close();

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
};
