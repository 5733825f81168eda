#pragma once
// The FTP route: one remote operation on an M410 target, over its own FTP
// connection.
#include "FtpClient.h"
#include "RemoteRequest.h"

#include <string>

// Runs `request` (its route field is not looked at) and returns 1 on success,
// 0 on failure. The user name, password and authentication preference are
// not used: the target takes anonymous logins only. Messages for the user go
// to `showMessage`; what the operation did, and why it failed, to `record`.
int FtpTransfer(const RemoteRequest& request, const MessageSink& showMessage, EventLog& record);

// The local path of a request: localDir/fileName, or fileName alone in the
// working directory when localDir is empty.
std::string FtpLocalPath(const RemoteRequest& request);
// The remote path: remoteDir/fileName; for a directory request (empty
// fileName) remoteDir followed by "/".
std::string FtpRemotePath(const RemoteRequest& request);
