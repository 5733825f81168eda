#include "SftpUploadChecks.h"

#include "SftpDiagnostics.h"
#include "UploadRoom.h"

#include <optional>

namespace {
// The folder that will hold the file: the path up to its last "/".
std::string FolderOf(const std::string& remotePath)
{
    const size_t slash = remotePath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : remotePath.substr(0, slash);
}

std::string KiB(unsigned long long bytes, bool roundUp)
{
    return std::to_string(bytes / 1024 + (roundUp && bytes % 1024 != 0 ? 1 : 0)) + " KiB";
}

// The regular file the upload would replace, and its size.
std::optional<unsigned long long> ExistingFileSize(LIBSSH2_SFTP* sftp, const std::string& remotePath)
{
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    if (::libssh2_sftp_stat_ex(sftp, remotePath.c_str(), static_cast<unsigned>(remotePath.size()), LIBSSH2_SFTP_STAT,
                               &attributes) != 0)
        return std::nullopt;
    if (!(attributes.flags & LIBSSH2_SFTP_ATTR_SIZE))
        return std::nullopt;
    if ((attributes.flags & LIBSSH2_SFTP_ATTR_PERMISSIONS) && !LIBSSH2_SFTP_S_ISREG(attributes.permissions))
        return std::nullopt;
    return attributes.filesize;
}
}  // namespace

bool RoomForUpload(LIBSSH2_SFTP* sftp, const std::string& remotePath, unsigned long long newSize,
                   SftpDiagnostics& diagnostics, const SshConnection& connection)
{
    const std::string folder = FolderOf(remotePath);
    LIBSSH2_SFTP_STATVFS statistics{};
    if (::libssh2_sftp_statvfs(sftp, folder.c_str(), folder.size(), &statistics) != 0) {
        // A status reply is the server's "no": it has no such query. Any
        // other failure means the session itself no longer works.
        if (::libssh2_session_last_errno(connection.Session()) == LIBSSH2_ERROR_SFTP_PROTOCOL &&
            !connection.Broken()) {
            diagnostics.Note("the server cannot tell the free space of " + folder + " (status " +
                             std::to_string(::libssh2_sftp_last_error(sftp)) +
                             "): the upload goes on without a room check");
            return true;
        }
        diagnostics.Error("Unable to ask for the free space of %s: %d\n", folder.c_str(),
                          ::libssh2_session_last_errno(connection.Session()));
        return false;
    }
    const std::optional<unsigned long long> oldSize = ExistingFileSize(sftp, remotePath);
    if (connection.Broken()) {
        diagnostics.Error("Unable to read the attributes of %s\n", remotePath.c_str());
        return false;
    }
    const UploadRoom room = ReckonUploadRoom(
        FilesystemSpace{statistics.f_frsize ? statistics.f_frsize : statistics.f_bsize, statistics.f_bfree},
        oldSize, newSize);
    if (!room.known) {
        diagnostics.Note("the server gives no block size for " + folder + ": the upload goes on without a room check");
        return true;
    }
    const std::string figures = KiB(room.freeBytes, false) + " free in " + folder +
                                (oldSize ? " and " + KiB(room.freedBytes, false) + " that the old file frees" : "") +
                                ", " + KiB(room.neededBytes, true) + " needed (the file and a margin of " +
                                KiB(room.marginBytes, true) + ")";
    if (!room.fits) {
        diagnostics.Error("Not enough room for %s on the controller: %s; nothing on the controller was changed\n",
                          remotePath.c_str(), figures.c_str());
        return false;
    }
    diagnostics.Note("room for " + remotePath + ": " + figures);
    return true;
}

bool ArrivedWhole(LIBSSH2_SFTP_HANDLE* handle, const std::string& remotePath, unsigned long long sent,
                  SftpDiagnostics& diagnostics)
{
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    if (::libssh2_sftp_fstat_ex(handle, &attributes, 0) != 0) {
        diagnostics.Error("Unable to read the size of %s after the upload\n", remotePath.c_str());
        return false;
    }
    if (!(attributes.flags & LIBSSH2_SFTP_ATTR_SIZE)) {
        diagnostics.Error("The server does not tell the size of %s: the upload cannot be confirmed\n",
                          remotePath.c_str());
        return false;
    }
    if (attributes.filesize != sent) {
        diagnostics.Error("%s holds %llu bytes on the controller after %llu were sent: the upload did not arrive whole\n",
                          remotePath.c_str(), static_cast<unsigned long long>(attributes.filesize), sent);
        return false;
    }
    return true;
}
