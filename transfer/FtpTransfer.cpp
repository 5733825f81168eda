#include "FtpTransfer.h"

#include "FullPath.h"
#include "LocalFile.h"
#include "OperationRecord.h"
#include "Sha256.h"

#include <exception>

namespace {
std::string Text(const char* text) { return text ? text : ""; }
}  // namespace

std::string FtpLocalPath(const RemoteRequest& request)
{
    std::string dir = Text(request.localDir);
    return dir.empty() ? Text(request.fileName) : dir + "/" + Text(request.fileName);
}

std::string FtpRemotePath(const RemoteRequest& request)
{
    return Text(request.remoteDir) + "/" + Text(request.fileName);
}

namespace {
int RunOperation(CFtpClient& FTPSession, int operation, const std::string& LoadPath, const std::string& RemotePath)
{
    int r = FTPSession.Connect();
    if (r == 0)
        return 0;
    switch (operation) {
    case kOperationUpload:
        return FTPSession.Upload(LoadPath.c_str(), RemotePath.c_str());
    case kOperationEnsureDirectory:
        return FTPSession.EnsureDirectory(RemotePath.c_str());
    case kOperationDownload:
        // Fetches the target's file into the local path, the way round that
        // an upload sends it.
        return FTPSession.Download(RemotePath.c_str(), LoadPath.c_str());
    default:
        // Nothing was done; a connection alone is no success.
        return 0;
    }
}
}  // namespace

int FtpTransfer(const RemoteRequest& request, const MessageSink& showMessage, EventLog& record)
{
    CFtpClient FTPSession(showMessage, record);
    FTPSession.m_server = Text(request.targetAddress);
    const std::string LoadPath = FtpLocalPath(request);
    const std::string RemotePath = FtpRemotePath(request);

    OperationRecord summary;
    summary.route = "FTP";
    summary.operation = request.operation;
    summary.address = FTPSession.m_server;
    summary.remotePath = RemotePath;
    summary.localPath = FullPath(LoadPath);
    // WinINet takes the file whole, so its digest is one pass over the
    // file, just before it is handed over.
    if (request.operation == kOperationUpload) {
        summary.size = LocalFileSize(LoadPath.c_str());
        summary.sha256 = Sha256OfFile(LoadPath.c_str());
    }
    const ULONGLONG started = ::GetTickCount64();

    int r = 0;
    try {
        r = RunOperation(FTPSession, request.operation, LoadPath, RemotePath);
    } catch (const std::exception&) {
        // No worker thread or no memory for one: the operation did not run.
        showMessage("网络异常或CPU模块选型错误!", MessageText::Program);
        r = 0;
    }
    FTPSession.Disconnect();
    // The server's 226 confirms the whole file; short of it, nothing is
    // known of what arrived.
    if (request.operation == kOperationUpload && r == 1)
        summary.sent = summary.size;
    summary.milliseconds = ::GetTickCount64() - started;
    summary.result = r;
    record.Write(FormatOperationRecord(summary));
    return r;
}
