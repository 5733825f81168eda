#include "FtpTransfer.h"

#include "MessageBox.h"

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

void ShowInMessageBox(const char* text) { AfxMessageBox(text); }

int FtpTransfer(const RemoteRequest& request, const MessageSink& showMessage)
{
    CFtpClient FTPSession(showMessage);
    FTPSession.m_server = Text(request.targetAddress);
    const std::string LoadPath = FtpLocalPath(request);
    const std::string RemotePath = FtpRemotePath(request);

    int r = FTPSession.Connect();
    if (r != 0) {
        switch (request.operation) {
        case kOperationUpload:
            r = FTPSession.Upload(LoadPath.c_str(), RemotePath.c_str());
            break;
        case kOperationEnsureDirectory:
            r = FTPSession.EnsureDirectory(RemotePath.c_str());
            break;
        case kOperationDownload:
            // Fetches the target's file into the local path, the way round
            // that an upload sends it.
            r = FTPSession.Download(RemotePath.c_str(), LoadPath.c_str());
            break;
        default:
            // Nothing was done; a connection alone is no success.
            r = 0;
            break;
        }
    }
    FTPSession.Disconnect();
    return r;
}
