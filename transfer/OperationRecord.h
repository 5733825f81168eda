#pragma once
// The line each route records for every remote operation it carries out:
// what went where, how much, which bytes, how long it took, and the result.
#include <string>

struct OperationRecord {
    const char* route = "";        // "SFTP" or "FTP"
    int operation = 0;             // RemoteOperation
    std::string address;           // the target address as the request gave it
    std::string remotePath;        // system code page
    std::string localPath;         // system code page; empty for a directory
    long long size = -1;           // the local file's size; -1 when unknown
    std::string sha256;            // of the bytes sent; empty when none were read
    long long sent = -1;           // bytes the target took; -1 when unknown
    unsigned long long milliseconds = 0;
    int result = 0;
};

// One line, in UTF-8.
std::string FormatOperationRecord(const OperationRecord& record);
