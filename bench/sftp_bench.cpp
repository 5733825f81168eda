// Uploads one local file through the SFTP route a number of times and prints
// the wall time of each upload in milliseconds, one per line.
//   sftp_bench ADDRESS REMOTE_DIR LOCAL_DIR FILE_NAME REPETITIONS
#include "SessionRecord.h"
#include "SftpTransfer.h"

#include <io.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
struct NoProgress : ProgressSink {
    void SetRange(int, int) override {}
    void SetPos(int) override {}
};

// The target's key is remembered in the working folder at the first
// upload; a key that changes during the measurement is not trusted.
struct WorkingFolderHostKeys : HostKeyTrust {
    std::string KnownHostsFile() override { return ".\\known_hosts"; }
    bool TrustChangedKey(const HostKeyChange&) override { return false; }
    HostKeyAnswers& Answers() override { return answers; }
    HostKeyAnswers answers;
};
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: sftp_bench ADDRESS REMOTE_DIR LOCAL_DIR FILE_NAME REPETITIONS\n");
        return 2;
    }
    // The route's diagnostic lines are not part of the measurement's output:
    // the timings go to the original standard output, the lines to a file,
    // as when the program's output is kept. (Under Wine the NUL device
    // costs about a millisecond per line, one per chunk, which Windows'
    // does not.)
    FILE* timings = ::_fdopen(::_dup(1), "w");
    std::freopen("NUL", "w", stdout);
    std::freopen("diagnostics.txt", "w", stderr);
    // A session record as the program keeps one, so that its cost is part
    // of every upload measured.
    SessionRecord record;
    ::DeleteFileW(L"record.log");
    if (!record.Open(L"record.log")) {
        std::fprintf(timings, "no record\n");
        return 1;
    }
    NoProgress progress;
    WorkingFolderHostKeys hostKeys;
    const RemoteRequest request{kRouteSftp, argv[1], "root", "", argv[2], argv[4], argv[3], kAuthPublicKey,
                                kOperationUpload};
    for (int i = 0; i < std::atoi(argv[5]); ++i) {
        const auto start = std::chrono::steady_clock::now();
        const int result = SftpTransfer(request, progress, record, hostKeys);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (result != 1) {
            std::fprintf(timings, "failed %d\n", result);
            return 1;
        }
        std::fprintf(timings, "%lld\n", static_cast<long long>(ms.count()));
        std::fflush(timings);
    }
    return 0;
}
