#include "SftpTransfer.h"

// winsock2.h must come before windows.h.
#include "SshConnection.h"
#include "FullPath.h"
#include "HostKeyCheck.h"
#include "HostKeyFingerprint.h"
#include "LocalFile.h"
#include "MillisecondPause.h"
#include "OperationRecord.h"
#include "Sha256.h"
#include "SftpDiagnostics.h"
#include "SftpUploadChecks.h"
#include "SshAuth.h"

#include <libssh2_sftp.h>

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>

namespace {
constexpr size_t kTextCapacity = 512;  // user name, password
constexpr size_t kPathCapacity = MAX_PATH;
constexpr size_t kChunk = 2024;

const char* OrEmpty(const char* text) { return text ? text : ""; }

// "%s/%s"-style joins that must fit the route's path buffers.
bool Fits(const std::string& text) { return text.size() < kPathCapacity; }

// The two ends of an operation, as the route names them and the record shows
// them.
struct OperationPaths {
    std::string remote;  // remoteDir/fileName; the directory itself when making sure of one
    std::string local;   // localDir\fileName, or fileName in the working directory
};

OperationPaths PathsOf(const RemoteRequest& request)
{
    const std::string remoteDir = OrEmpty(request.remoteDir);
    const std::string fileName = OrEmpty(request.fileName);
    const std::string localDir = OrEmpty(request.localDir);
    return {request.operation == kOperationEnsureDirectory ? remoteDir : remoteDir + "/" + fileName,
            localDir.empty() ? fileName : localDir + "\\" + fileName};
}

// An SFTP object that is released when the operation ends, unless the
// session can no longer talk to the peer (then releasing it would only wait).
template <typename T, int (*Release)(T*)>
class SftpObject {
public:
    SftpObject(T* object, const SshConnection& connection) : m_object(object), m_connection(connection) {}
    ~SftpObject()
    {
        if (m_object && !m_connection.Broken())
            Release(m_object);
    }
    // Releases the object now; true when the server agreed. A remote file is
    // complete only once its close has succeeded.
    bool ReleaseNow()
    {
        T* object = m_object;
        m_object = nullptr;
        return object && !m_connection.Broken() && Release(object) == 0;
    }
    SftpObject(const SftpObject&) = delete;
    SftpObject& operator=(const SftpObject&) = delete;
    T* get() const { return m_object; }

private:
    T* m_object;
    const SshConnection& m_connection;
};
using SftpSession = SftpObject<LIBSSH2_SFTP, ::libssh2_sftp_shutdown>;
using SftpHandle = SftpObject<LIBSSH2_SFTP_HANDLE, ::libssh2_sftp_close_handle>;

// The SHA-1 fingerprint as the route has always shown it, and for the
// record the SHA-256 one in the form OpenSSH shows, which is what an
// engineer compares with the controller's own "ssh-keygen -l".
void ShowFingerprint(LIBSSH2_SESSION* session, SftpDiagnostics& diagnostics)
{
    std::string line = "Fingerprint: ";
    if (const char* hash = ::libssh2_hostkey_hash(session, LIBSSH2_HOSTKEY_HASH_SHA1)) {
        char hex[4];
        for (int i = 0; i < 20; ++i) {
            std::snprintf(hex, sizeof hex, "%02X ", static_cast<unsigned char>(hash[i]));
            line += hex;
        }
    }
    diagnostics.Error("%s\n", line.c_str());
    const std::string sha256 = OpenSshSha256Fingerprint(session);
    diagnostics.Note("Fingerprint " + (sha256.empty() ? std::string("SHA256: not available") : sha256));
}

// Writes all of `data`, however the server splits it; false on an error.
bool WriteAll(LIBSSH2_SFTP_HANDLE* handle, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::libssh2_sftp_write(handle, data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// False only when the server says what it has is no directory.
bool MayBeDirectory(const LIBSSH2_SFTP_ATTRIBUTES& attributes)
{
    return !(attributes.flags & LIBSSH2_SFTP_ATTR_PERMISSIONS) || LIBSSH2_SFTP_S_ISDIR(attributes.permissions);
}

int EnsureDirectory(LIBSSH2_SFTP* sftp, const char* remoteDir, const SshConnection& connection)
{
    const unsigned length = static_cast<unsigned>(std::strlen(remoteDir));
    {
        SftpHandle existing(::libssh2_sftp_open_ex(sftp, remoteDir, length, LIBSSH2_FXF_READ, 0,
                                                   LIBSSH2_SFTP_OPENFILE),
                            connection);
        if (existing.get()) {
            // A file that holds the name is no slot directory.
            LIBSSH2_SFTP_ATTRIBUTES attributes{};
            if (::libssh2_sftp_fstat_ex(existing.get(), &attributes, 0) == 0 && !MayBeDirectory(attributes))
                return 0;
            return 1;
        }
    }
    if (connection.Broken())
        return 0;
    // Mode 10 is what the controllers' tooling has always asked for.
    if (::libssh2_sftp_mkdir_ex(sftp, remoteDir, length, 10) == 0)
        return 1;
    // Servers that keep to the SFTP drafts will not open a directory as a
    // file: then the creation fails because the directory is there, which
    // only a stat that says so can confirm.
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    if (connection.Broken() || ::libssh2_sftp_stat_ex(sftp, remoteDir, length, LIBSSH2_SFTP_STAT, &attributes) != 0)
        return 0;
    return (attributes.flags & LIBSSH2_SFTP_ATTR_PERMISSIONS) && LIBSSH2_SFTP_S_ISDIR(attributes.permissions) ? 1 : 0;
}

// What one upload needs besides its paths: where it reports, and what it
// records of the bytes it sends.
struct UploadContext {
    ProgressSink& progress;
    SftpDiagnostics& diagnostics;
    OperationRecord& record;
};

int Upload(LIBSSH2_SFTP* sftp, const std::string& remotePath, const std::string& localPath,
           UploadContext context, const SshConnection& connection)
{
    ProgressSink& progress = context.progress;
    SftpDiagnostics& diagnostics = context.diagnostics;
    // The local file is opened first: a file that cannot be read must not
    // leave an emptied file on the target.
    LocalFile local;
    if (!local.OpenForReading(localPath.c_str()))
        return 0;
    const long long total = local.Size();
    if (total < 0)
        return 0;
    if (!RoomForUpload(sftp, remotePath, static_cast<unsigned long long>(total), diagnostics, connection))
        return 0;
    SftpHandle remote(::libssh2_sftp_open_ex(sftp, remotePath.c_str(), static_cast<unsigned>(remotePath.size()),
                                             LIBSSH2_FXF_WRITE | LIBSSH2_FXF_CREAT | LIBSSH2_FXF_TRUNC, 0,
                                             LIBSSH2_SFTP_OPENFILE),
                      connection);
    if (!remote.get()) {
        diagnostics.Error("Unable to open file with SFTP: %ld\n", ::libssh2_sftp_last_error(sftp));
        return 0;
    }
    progress.SetRange(0, 100);
    progress.SetPos(0);
    // The digest is taken from the very reads that feed the upload.
    Sha256 hash;
    if (total == 0) {
        context.record.sha256 = hash.Hex();
        context.record.sent = 0;
        return ArrivedWhole(remote.get(), remotePath, 0, diagnostics) && remote.ReleaseNow() ? 1 : 0;
    }

    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    if (::libssh2_sftp_fstat_ex(remote.get(), &attributes, 0) < 0) {
        diagnostics.Error("libssh2_sftp_fstat_ex failed\n");
        return 0;
    }
    attributes.flags = 0x81E5;        // size and permissions
    attributes.permissions = 0x81ED;  // a regular file, rwxr-xr-x
    ::libssh2_sftp_fstat_ex(remote.get(), &attributes, 1);

    char mem[kChunk];
    long long transferred = 0;
    MillisecondPause pause;
    long long sent = 0;
    for (;;) {
        const long read = local.Read(mem, kChunk);
        if (read < 0)
            return 0;
        diagnostics.ChunkWrite();
        transferred += read;
        progress.SetPos(static_cast<int>(transferred * 100 / total));
        if (read == 0)
            break;
        hash.Add(mem, static_cast<size_t>(read));
        if (!WriteAll(remote.get(), mem, static_cast<size_t>(read)))
            return 0;
        sent += read;
        context.record.sent = sent;
        pause.Wait();
    }
    diagnostics.CountChunks();
    context.record.sha256 = hash.Hex();
    ::libssh2_sftp_fsync(remote.get());
    if (!ArrivedWhole(remote.get(), remotePath, static_cast<unsigned long long>(sent), diagnostics))
        return 0;
    return remote.ReleaseNow() && transferred == total ? 1 : 0;
}

int Download(LIBSSH2_SFTP* sftp, const std::string& remotePath, const std::string& localPath,
             UploadContext context, const SshConnection& connection)
{
    ProgressSink& progress = context.progress;
    SftpDiagnostics& diagnostics = context.diagnostics;
    SftpHandle remote(::libssh2_sftp_open_ex(sftp, remotePath.c_str(), static_cast<unsigned>(remotePath.size()),
                                             LIBSSH2_FXF_READ, 0, LIBSSH2_SFTP_OPENFILE),
                      connection);
    if (!remote.get()) {
        diagnostics.Error("Unable to open file with SFTP: %ld\n", ::libssh2_sftp_last_error(sftp));
        return 0;
    }
    // The remote file's size, where the server tells it, drives the progress.
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    const bool sized = ::libssh2_sftp_fstat_ex(remote.get(), &attributes, 0) == 0 &&
                       (attributes.flags & LIBSSH2_SFTP_ATTR_SIZE) && attributes.filesize > 0;
    LocalFile local;
    if (!local.CreateForWriting(localPath.c_str()))
        return 0;
    progress.SetRange(0, 100);
    progress.SetPos(0);
    char mem[kChunk];
    unsigned long long transferred = 0;
    for (;;) {
        diagnostics.Error("libssh2_sftp_read()!\n");
        const ssize_t read = ::libssh2_sftp_read(remote.get(), mem, kChunk);
        if (read < 0)
            return 0;
        if (read == 0)
            break;
        if (!local.Write(mem, static_cast<unsigned long>(read)))
            return 0;
        transferred += static_cast<unsigned long long>(read);
        context.record.sent = static_cast<long long>(transferred);
        if (sized)
            progress.SetPos(static_cast<int>(std::min<unsigned long long>(transferred * 100 / attributes.filesize, 100)));
    }
    ::libssh2_sftp_fsync(remote.get());
    return local.Close() ? 1 : 0;
}
}  // namespace

namespace {
// Sets the SSH session up as far as a host key that is trusted: the
// connection, the session, the handshake, the fingerprint line and the host
// key check. 1 when it got there, else the operation's result.
int OpenSession(SshConnection& connection, unsigned long address, HostKeyTrust& trust,
                SftpDiagnostics& diagnostics, HostKeyVerdict& verdict)
{
    // Known hosts are kept by the address in its plain dotted form.
    in_addr numeric{};
    numeric.s_addr = address;
    const std::string host = ::inet_ntoa(numeric);
    if (const int rc = connection.InitLibrary()) {
        diagnostics.Error("libssh2 initialization failed (%d)\n", rc);
        return 0;
    }
    if (!connection.Connect(address)) {
        diagnostics.Note("No connection to port 22 of " + host + ": nothing answers there, or it refused");
        return -1;
    }
    if (!connection.CreateSession())
        return -1;
    LIBSSH2_SESSION* session = connection.Session();
    KnownHosts known(session, trust.KnownHostsFile());
    if (!known.ReadWhole())
        diagnostics.Error("Cannot read the whole of %s: host keys are checked against what could be read\n",
                          known.Path().c_str());
    PreferKnownKeyTypes(session, known, host);
    if (const int rc = connection.Handshake()) {
        diagnostics.Error("Failure establishing SSH session: %d\n", rc);
        return -1;
    }
    ShowFingerprint(session, diagnostics);
    verdict = DecideHostKey(host, OfferedHostKey(session), known, trust, diagnostics);
    if (verdict == HostKeyVerdict::Refused) {
        diagnostics.Error("Host key not trusted\n");
        return -1;
    }
    return 1;
}

// The operation itself; `record` gathers what the session record keeps of it.
int RunOperation(const RemoteRequest& request, const OperationPaths& paths, UploadContext context,
                 HostKeyTrust& trust)
{
    SftpDiagnostics& diagnostics = context.diagnostics;
    WSADATA wsadata;
    ::WSAStartup(MAKEWORD(2, 0), &wsadata);
    const unsigned long address =
        request.targetAddress ? ::inet_addr(request.targetAddress) : ::htonl(INADDR_LOOPBACK);
    const char* username = OrEmpty(request.userName);
    const char* password = OrEmpty(request.password);
    if (!request.remoteDir)
        return 0;
    // What does not fit the route's buffers is refused, never cut short.
    if (std::strlen(username) >= kTextCapacity || std::strlen(password) >= kTextCapacity) {
        diagnostics.Error("User name or password longer than the route's %u-byte buffers\n",
                          static_cast<unsigned>(kTextCapacity));
        return 0;
    }
    if (!Fits(paths.remote)) {
        diagnostics.Error("Remote path of %u bytes does not fit the route's %u-byte buffer: %s\n",
                          static_cast<unsigned>(paths.remote.size()), static_cast<unsigned>(kPathCapacity),
                          paths.remote.c_str());
        return 0;
    }
    if (!Fits(paths.local)) {
        diagnostics.Error("Local path of %u bytes does not fit the route's %u-byte buffer: %s\n",
                          static_cast<unsigned>(paths.local.size()), static_cast<unsigned>(kPathCapacity),
                          paths.local.c_str());
        return 0;
    }

    SshConnection connection(diagnostics);
    HostKeyVerdict verdict = HostKeyVerdict::Trusted;
    if (const int opened = OpenSession(connection, address, trust, diagnostics, verdict); opened != 1)
        return opened;
    bool loggedIn = Authenticate(connection.Session(), username, password, request.authPreference, diagnostics);
    // A server gives a connection only so long to log in (OpenSSH two
    // minutes): while the engineer thought about a changed key it may have
    // hung up. Once more, then, with the key now trusted.
    if (verdict == HostKeyVerdict::TrustedAfterQuestion && connection.Dropped()) {
        diagnostics.Note("The controller closed the connection while the host key question was open: connecting again");
        connection.Close();
        if (const int opened = OpenSession(connection, address, trust, diagnostics, verdict); opened != 1)
            return opened;
        loggedIn = Authenticate(connection.Session(), username, password, request.authPreference, diagnostics);
    }
    if (!loggedIn)
        return 0;
    LIBSSH2_SESSION* session = connection.Session();

    diagnostics.Error("libssh2_sftp_init()!\n");
    SftpSession sftp(::libssh2_sftp_init(session), connection);
    if (!sftp.get()) {
        diagnostics.Error("Unable to init SFTP session\n");
        // Small controllers often have an SSH server without an SFTP server.
        if (::libssh2_session_last_errno(session) == LIBSSH2_ERROR_CHANNEL_CLOSED)
            diagnostics.Error("The SSH server closed the SFTP channel at once: "
                              "the controller seems to have no SFTP server (sftp-server)\n");
        return 0;
    }
    diagnostics.Error("libssh2_sftp_open()!\n");
    switch (request.operation) {
    case kOperationUpload:
        return Upload(sftp.get(), paths.remote, paths.local, context, connection);
    case kOperationEnsureDirectory:
        return EnsureDirectory(sftp.get(), paths.remote.c_str(), connection);
    case kOperationDownload:
        return Download(sftp.get(), paths.remote, paths.local, context, connection);
    default:
        return 0;
    }
}
}  // namespace

int SftpTransfer(const RemoteRequest& request, ProgressSink& progress, EventLog& record, HostKeyTrust& hostKeys)
{
    OperationRecord summary;
    summary.route = "SFTP";
    summary.operation = request.operation;
    summary.address = OrEmpty(request.targetAddress);
    const OperationPaths paths = PathsOf(request);
    summary.remotePath = paths.remote;
    summary.localPath = FullPath(paths.local);
    if (request.operation == kOperationUpload) {
        summary.size = LocalFileSize(summary.localPath.c_str());
        // Every byte the route sends is counted, none so far.
        summary.sent = 0;
    }
    const ULONGLONG started = ::GetTickCount64();
    int result;
    {
        SftpDiagnostics diagnostics(record);
        result = RunOperation(request, paths, UploadContext{progress, diagnostics, summary}, hostKeys);
    }
    summary.milliseconds = ::GetTickCount64() - started;
    summary.result = result;
    record.Write(FormatOperationRecord(summary));
    return result;
}
