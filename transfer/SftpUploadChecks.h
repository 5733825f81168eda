#pragma once
// What the SFTP route asks the server around an upload, so that a program
// that does not fit never costs the controller its old one, and an upload
// counts only once the server holds every byte of it.
#include "SshConnection.h"

#include <libssh2_sftp.h>

#include <string>

class SftpDiagnostics;

// Asked before `remotePath` is opened, which truncates it: is there room for
// a file of `newSize` bytes in its place? False when the upload must not go
// on: it does not fit (a diagnostic line says how much room there is and how
// much is needed), or the session failed while asking. A server without the
// free-space query (statvfs@openssh.com) refuses it with a status: the
// upload then goes on unchecked.
bool RoomForUpload(LIBSSH2_SFTP* sftp, const std::string& remotePath, unsigned long long newSize,
                   SftpDiagnostics& diagnostics, const SshConnection& connection);

// After the last write and before the close: true when the server reports
// the open file's size as exactly `sent` bytes; otherwise a diagnostic line
// says why the upload does not count.
bool ArrivedWhole(LIBSSH2_SFTP_HANDLE* handle, const std::string& remotePath, unsigned long long sent,
                  SftpDiagnostics& diagnostics);
