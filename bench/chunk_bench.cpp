// The parts of an SFTP upload's time per chunk, for bench/upload_floor.sh.
//   chunk_bench pauses COUNT
//       COUNT pauses of the upload loop: prints "pause_mean_ms M" and
//       "pause_p99_ms P"
//   chunk_bench record COUNT
//       what the session record adds to an upload: the SHA-256 of one
//       2024-byte chunk, COUNT times, and one record line written to a
//       record file, COUNT times: prints "record_hash_us H" and
//       "record_line_us L"
//   chunk_bench writes ADDRESS REMOTE_PATH LOCAL_FILE
//       one SFTP session that writes LOCAL_FILE to REMOTE_PATH in chunks of
//       2024 bytes, each awaited as the route awaits it, with no pause:
//       prints "chunks N" and "write_mean_ms W"
// The SFTP session logs in as root with the key pair "~/.ssh/id_rsa" of the
// working folder, as the route does.
// winsock2.h must come before windows.h.
#include "SshConnection.h"
#include "LocalFile.h"
#include "MillisecondPause.h"
#include "SessionRecord.h"
#include "Sha256.h"
#include "SftpDiagnostics.h"
#include "SshAuth.h"

#include <libssh2_sftp.h>

#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The writes are measured alone, without the route's record.
struct NoRecord : EventLog {
    void Write(const std::string&) override {}
};

double NowMs()
{
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

int Pauses(FILE* out, int count)
{
    MillisecondPause pause;
    std::vector<double> lengths;
    for (int i = 0; i < count; ++i) {
        const double start = NowMs();
        pause.Wait();
        lengths.push_back(NowMs() - start);
    }
    std::sort(lengths.begin(), lengths.end());
    double sum = 0;
    for (double length : lengths)
        sum += length;
    std::fprintf(out, "pause_mean_ms %.3f\npause_p99_ms %.3f\npause_timer %s\n", sum / count,
                 lengths[static_cast<size_t>(count * 0.99)], pause.HighResolution() ? "high-resolution" : "sleep");
    return 0;
}

int RecordCost(FILE* out, int count)
{
    std::vector<char> chunk(2024);
    for (size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>(i * 131 + 7);
    Sha256 hash;
    double start = NowMs();
    for (int i = 0; i < count; ++i)
        hash.Add(chunk.data(), chunk.size());
    const double hashing = NowMs() - start;
    hash.Hex();

    SessionRecord record;
    ::DeleteFileW(L"bench-record.log");
    if (!record.Open(L"bench-record.log"))
        return 1;
    const std::string line = "SFTP upload 127.0.0.2:/mnt/mmc/plc3/update.rom from C:\\Users\\engineer\\update.rom, "
                             "size 4194304 bytes, SHA-256 0e817a2038de932a47c11cef130c00f3a7530f81ac79558c9b26d86d"
                             "46e11410, 4194304 bytes sent, 6.412 s, result 1";
    start = NowMs();
    for (int i = 0; i < count; ++i)
        record.Write(line);
    const double writing = NowMs() - start;
    record.Close();
    ::DeleteFileW(L"bench-record.log");
    std::fprintf(out, "record_hash_us %.3f\nrecord_line_us %.3f\n", hashing * 1000 / count, writing * 1000 / count);
    return 0;
}

int Writes(FILE* out, const char* address, const char* remotePath, const char* localPath)
{
    LocalFile local;
    if (!local.OpenForReading(localPath))
        return 1;
    WSADATA wsadata;
    ::WSAStartup(MAKEWORD(2, 0), &wsadata);
    NoRecord record;
    SftpDiagnostics diagnostics(record);
    SshConnection connection(diagnostics);
    if (connection.InitLibrary() || !connection.Connect(::inet_addr(address)) || !connection.CreateSession() ||
        connection.Handshake() || !Authenticate(connection.Session(), "root", "", 4, diagnostics))
        return 1;
    LIBSSH2_SFTP* sftp = ::libssh2_sftp_init(connection.Session());
    if (!sftp)
        return 1;
    LIBSSH2_SFTP_HANDLE* handle =
        ::libssh2_sftp_open_ex(sftp, remotePath, static_cast<unsigned>(std::strlen(remotePath)),
                               LIBSSH2_FXF_WRITE | LIBSSH2_FXF_CREAT | LIBSSH2_FXF_TRUNC, 0, LIBSSH2_SFTP_OPENFILE);
    if (!handle)
        return 1;
    char chunk[2024];
    long chunks = 0;
    double writing = 0;
    for (long read; (read = local.Read(chunk, sizeof chunk)) > 0; ++chunks) {
        const double start = NowMs();
        for (long done = 0; done < read;) {
            const ssize_t written = ::libssh2_sftp_write(handle, chunk + done, static_cast<size_t>(read - done));
            if (written <= 0)
                return 1;
            done += static_cast<long>(written);
        }
        writing += NowMs() - start;
    }
    ::libssh2_sftp_close_handle(handle);
    ::libssh2_sftp_shutdown(sftp);
    std::fprintf(out, "chunks %ld\nwrite_mean_ms %.3f\n", chunks, chunks ? writing / chunks : 0.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Only the figures go to the standard output; diagnostics go nowhere.
    FILE* out = ::_fdopen(::_dup(1), "w");
    std::freopen("NUL", "w", stdout);
    std::freopen("NUL", "w", stderr);
    if (argc == 3 && std::string(argv[1]) == "pauses")
        return Pauses(out, std::atoi(argv[2]));
    if (argc == 3 && std::string(argv[1]) == "record")
        return RecordCost(out, std::atoi(argv[2]));
    if (argc == 5 && std::string(argv[1]) == "writes")
        return Writes(out, argv[2], argv[3], argv[4]);
    std::fprintf(out, "usage: chunk_bench pauses COUNT | record COUNT | writes ADDRESS REMOTE_PATH LOCAL_FILE\n");
    return 2;
}
