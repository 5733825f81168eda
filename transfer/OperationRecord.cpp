#include "OperationRecord.h"

#include "RemoteRequest.h"
#include "TextCodePages.h"

#include <cstdio>

namespace {
const char* OperationName(int operation)
{
    switch (operation) {
    case kOperationUpload: return "upload";
    case kOperationEnsureDirectory: return "make sure of directory";
    case kOperationDownload: return "download";
    default: return "unknown operation";
    }
}

std::string Seconds(unsigned long long milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%03llu s", milliseconds / 1000, milliseconds % 1000);
    return text;
}
}  // namespace

std::string FormatOperationRecord(const OperationRecord& r)
{
    std::string line = std::string(r.route) + " " + OperationName(r.operation) + " " + r.address + ":" +
                       Utf8FromSystemText(r.remotePath);
    if (r.operation != kOperationEnsureDirectory) {
        line += std::string(r.operation == kOperationDownload ? " to " : " from ") + Utf8FromSystemText(r.localPath);
        line += r.size < 0 ? std::string(", no such local file") : ", size " + std::to_string(r.size) + " bytes";
        if (!r.sha256.empty())
            line += ", SHA-256 " + r.sha256;
        const std::string moved = r.operation == kOperationDownload ? "bytes received" : "bytes sent";
        line += ", " + (r.sent < 0 ? moved + " unknown" : std::to_string(r.sent) + " " + moved);
    }
    line += ", " + Seconds(r.milliseconds) + ", result " + std::to_string(r.result);
    return line;
}
