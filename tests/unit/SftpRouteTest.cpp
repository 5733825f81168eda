// The SFTP route against a real sshd (tests/peers/with_sshd_target.sh), public
// key login as root with the key pair in the working folder.
#include "FakeHostKeys.h"
#include "RecordedLines.h"
#include "SftpTransfer.h"
#include "TestDirs.h"

#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <vector>

namespace {
namespace fs = std::filesystem;

struct RecordingProgress : ProgressSink {
    void SetRange(int lower, int upper) override { range = {lower, upper}; }
    void SetPos(int position) override
    {
        positions.push_back(position);
        if (onPosition)
            onPosition(position);
    }
    std::pair<int, int> range{-1, -1};
    std::vector<int> positions;
    std::function<void(int)> onPosition;
};

// A folder of the test targets as Wine sees it: its Linux path on drive Z:.
fs::path LinuxFolder(const char* variable)
{
    const char* folder = std::getenv(variable);
    return fs::path("Z:" + std::string(folder ? folder : "/nonexistent"));
}
fs::path TargetRoot() { return LinuxFolder("BRANTEL_SSH_ROOT"); }

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string Bytes(size_t size)
{
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 131 + 7) % 251);
    return data;
}

class SftpRoute : public ::testing::Test {
protected:
    int Run(const char* remoteDir, const char* fileName, const std::string& localDir, int operation,
            const char* address = "127.0.0.2")
    {
        const RemoteRequest request{kRouteSftp, address, "root", "", remoteDir, fileName, localDir.c_str(),
                                    kAuthPublicKey, operation};
        return SftpTransfer(request, progress, record, hostKeys);
    }
    ScratchDir local;
    ScratchDir settings;
    FakeHostKeys hostKeys{settings.path()};
    RecordingProgress progress;
    RecordedLines record;
};

TEST_F(SftpRoute, UploadLandsWholeWithProgressPerChunk)
{
    const std::string data = Bytes(5000);
    WriteFile(local.file("five.bin"), data);
    EXPECT_EQ(Run("/mnt/mmc", "five.bin", local.path(), kOperationUpload), 1);
    EXPECT_EQ(ReadAll(TargetRoot() / "mnt/mmc/five.bin"), data);
    EXPECT_EQ(progress.range, std::make_pair(0, 100));
    // 2024, 2024 and 952 bytes, then the read that finds the end.
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 40, 80, 100, 100}));
    EXPECT_NE(record.Text().find("room for /mnt/mmc/five.bin: "), std::string::npos) << record.Text();
}

bool HasLine(const RecordedLines& record, const std::string& pattern)
{
    const std::regex line(pattern);
    for (const std::string& l : record.Lines())
        if (std::regex_match(l, line))
            return true;
    return false;
}

TEST_F(SftpRoute, RecordKeepsTheDiagnosticsAndWhatWasSent)
{
    WriteFile(local.file("five.bin"), Bytes(5000));
    EXPECT_EQ(Run("/mnt/mmc", "five.bin", local.path(), kOperationUpload), 1);
    const std::string text = record.Text();
    EXPECT_TRUE(HasLine(record, "Fingerprint: ([0-9A-F]{2} ){20}")) << text;
    EXPECT_TRUE(HasLine(record, "Fingerprint SHA256:[A-Za-z0-9+/]{43}")) << text;
    EXPECT_TRUE(HasLine(record, "\tAuthentication by public key succeeded.")) << text;
    // Four lines on the stream, one before each read; one in the record.
    EXPECT_TRUE(HasLine(record, "libssh2_sftp_write\\(\\)! \\(4 times, once before each chunk\\)")) << text;
    EXPECT_FALSE(HasLine(record, "libssh2_sftp_write\\(\\)!")) << text;
    EXPECT_TRUE(HasLine(record, "SFTP upload 127\\.0\\.0\\.2:/mnt/mmc/five\\.bin from " +
                                    std::regex_replace(local.file("five.bin"), std::regex(R"([\\.])"), "\\$&") +
                                    ", size 5000 bytes, SHA-256 "
                                    "0e817a2038de932a47c11cef130c00f3a7530f81ac79558c9b26d86d46e11410, "
                                    "5000 bytes sent, \\d+\\.\\d{3} s, result 1"))
        << text;
}

TEST_F(SftpRoute, RecordNeverHoldsAKeyboardInteractiveAnswer)
{
    const RemoteRequest request{kRouteSftp, "127.0.0.22", "root", "", "/", "", "", kAuthKeyboardInteractive,
                                kOperationEnsureDirectory};
    EXPECT_EQ(SftpTransfer(request, progress, record, hostKeys), 1);
    const std::string text = record.Text();
    EXPECT_TRUE(HasLine(record, "Please type response: Response 0 from user is '\\*\\*\\*'")) << text;
    EXPECT_TRUE(HasLine(record, "\tAuthentication by keyboard-interactive succeeded.")) << text;
    EXPECT_TRUE(HasLine(record, "SFTP make sure of directory 127\\.0\\.0\\.22:/, \\d+\\.\\d{3} s, result 1")) << text;
}

// The paramiko targets journal what they see of a session.
std::string Journal(const char* peer) { return ReadAll(LinuxFolder("BRANTEL_PEER_WORK") / (std::string(peer) + ".journal")); }
void ClearJournal(const char* peer) { fs::remove(LinuxFolder("BRANTEL_PEER_WORK") / (std::string(peer) + ".journal")); }

TEST_F(SftpRoute, ChunksOf2024BytesAndThePermissionsSetOnce)
{
    WriteFile(local.file("five.bin"), Bytes(5000));
    ClearJournal("password");
    const RemoteRequest request{kRouteSftp, "127.0.0.21", "root", "", "", "five.bin", local.path().c_str(),
                                kAuthPassword, kOperationUpload};
    EXPECT_EQ(SftpTransfer(request, progress, record, hostKeys), 1);
    EXPECT_EQ(Journal("password"), "auth password\nsetstat 100755\nwrite 2024\nwrite 2024\nwrite 952\n");
}

TEST_F(SftpRoute, OnlyTheMethodThatThePreferencePicksIsTried)
{
    struct Case {
        const char* peer;
        const char* address;
        int authPreference;
        const char* journal;
    };
    const Case cases[] = {
        {"password", "127.0.0.21", kAuthPublicKey, "auth password\n"},           // only password offered
        {"kbdint", "127.0.0.22", kAuthKeyboardInteractive, "auth keyboard-interactive\nresponse \n"},
        {"kbdint", "127.0.0.22", 0, "auth password\n"},                          // no preference: password first
        {"none", "127.0.0.23", kAuthPublicKey, "auth none\n"},                   // no login asked
        {"nopubkey", "127.0.0.24", kAuthPublicKey, "auth password\n"},
    };
    for (const Case& c : cases) {
        ClearJournal(c.peer);
        const RemoteRequest request{kRouteSftp, c.address, "root", "", "/", "", "", c.authPreference,
                                    kOperationEnsureDirectory};
        EXPECT_EQ(SftpTransfer(request, progress, record, hostKeys), 1) << c.peer << " " << c.authPreference;
        EXPECT_EQ(Journal(c.peer), c.journal) << c.peer << " " << c.authPreference;
    }
}

TEST_F(SftpRoute, WriteThatTheServerRefusesFails)
{
    WriteFile(local.file("five.bin"), Bytes(5000));
    const RemoteRequest request{kRouteSftp, "127.0.0.25", "root", "", "", "five.bin", local.path().c_str(),
                                kAuthPassword, kOperationUpload};
    EXPECT_EQ(SftpTransfer(request, progress, record, hostKeys), 0);
}

// A server that takes every write and keeps only the first 4096 bytes, and
// has no free-space query: the upload goes on unchecked, and counts only
// when the server holds every byte.
TEST_F(SftpRoute, UploadCountsOnlyWhenTheServerHoldsEveryByte)
{
    struct Case {
        size_t size;
        int expected;
    };
    for (const Case& c : {Case{4096, 1}, Case{5000, 0}}) {
        SCOPED_TRACE(c.size);
        WriteFile(local.file("kept.bin"), Bytes(c.size));
        const RemoteRequest request{kRouteSftp, "127.0.0.26", "root", "", "", "kept.bin", local.path().c_str(),
                                    kAuthPassword, kOperationUpload};
        EXPECT_EQ(SftpTransfer(request, progress, record, hostKeys), c.expected);
    }
    const std::string text = record.Text();
    EXPECT_NE(text.find("the server cannot tell the free space of / (status 8): the upload goes on without a room "
                        "check"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("/kept.bin holds 4096 bytes on the controller after 5000 were sent"), std::string::npos)
        << text;
}

TEST_F(SftpRoute, SshServerWithoutAnSftpServerSaysSo)
{
    EXPECT_EQ(Run("/mnt/mmc", "", "", kOperationEnsureDirectory, "127.0.0.36"), 0);
    EXPECT_NE(record.Text().find("Unable to init SFTP session\nThe SSH server closed the SFTP channel at once: "
                                 "the controller seems to have no SFTP server (sftp-server)\n"),
              std::string::npos)
        << record.Text();
}

TEST_F(SftpRoute, EmptyFileGivesAnEmptyRemoteFile)
{
    WriteFile(TargetRoot() / "mnt/mmc/empty.bin", "old content");
    WriteFile(local.file("empty.bin"), "");
    EXPECT_EQ(Run("/mnt/mmc", "empty.bin", local.path(), kOperationUpload), 1);
    EXPECT_TRUE(fs::exists(TargetRoot() / "mnt/mmc/empty.bin"));
    EXPECT_EQ(fs::file_size(TargetRoot() / "mnt/mmc/empty.bin"), 0u);
    EXPECT_EQ(progress.positions, (std::vector<int>{0}));
}

TEST_F(SftpRoute, MissingLocalFileLeavesTheRemoteFileAlone)
{
    WriteFile(TargetRoot() / "mnt/mmc/kept.bin", "the controller's copy");
    EXPECT_EQ(Run("/mnt/mmc", "kept.bin", local.path(), kOperationUpload), 0);
    EXPECT_EQ(ReadAll(TargetRoot() / "mnt/mmc/kept.bin"), "the controller's copy");
}

TEST_F(SftpRoute, EnsureDirectory)
{
    struct Case {
        const char* dir;
        int expected;
        bool existsAfter;
    };
    fs::create_directories(TargetRoot() / "mnt/mmc/plc1");
    const Case cases[] = {
        {"/mnt/mmc/plc1", 1, true},           // there already
        {"/mnt/mmc/plc2", 1, true},           // made
        {"/mnt/mmc/missing/plc3", 0, false},  // its parent is missing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.dir, "", "", kOperationEnsureDirectory), c.expected) << c.dir;
        EXPECT_EQ(fs::is_directory(TargetRoot() / (std::string(".") + c.dir)), c.existsAfter) << c.dir;
    }
    // A file that holds the name is no directory, though it opens.
    WriteFile(TargetRoot() / "mnt/mmc/plc4", "not a slot");
    EXPECT_EQ(Run("/mnt/mmc/plc4", "", "", kOperationEnsureDirectory), 0);
}

// A server that will not open a directory as a file (the password-only
// target): the directory is still found, or made.
TEST_F(SftpRoute, EnsureDirectoryOnAServerThatOpensNoDirectories)
{
    const fs::path root = LinuxFolder("BRANTEL_PEER_WORK") / "password";
    fs::create_directories(root / "plc1");
    for (const char* dir : {"/plc1", "/plc2"}) {
        EXPECT_EQ(Run(dir, "", "", kOperationEnsureDirectory, "127.0.0.21"), 1) << dir;
        EXPECT_TRUE(fs::is_directory(root / (std::string(".") + dir))) << dir;
    }
}

TEST_F(SftpRoute, RemoteFileThatCannotBeOpenedFails)
{
    fs::create_directories(TargetRoot() / "mnt/mmc/taken.bin");  // a directory holds the name
    WriteFile(local.file("taken.bin"), "data");
    EXPECT_EQ(Run("/mnt/mmc", "taken.bin", local.path(), kOperationUpload), 0);
}

TEST_F(SftpRoute, RefusedConnectionGivesMinusOneWithoutADiagnosticLine)
{
    // Nothing listens at 127.0.0.99: the connection is refused at once.
    const std::string errors = local.file("stderr.txt");
    std::fflush(stderr);
    const int saved = ::_dup(2);
    std::freopen(errors.c_str(), "w", stderr);
    const int result = Run("/mnt/mmc", "x", local.path(), kOperationUpload, "127.0.0.99");
    std::fflush(stderr);
    ::_dup2(saved, 2);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadAll(errors), "");
}

TEST_F(SftpRoute, OverlongFieldsAreRefused)
{
    const std::string longName(300, 'a');
    WriteFile(local.file("short.bin"), "x");
    EXPECT_EQ(Run("/mnt/mmc", longName.c_str(), local.path(), kOperationUpload), 0);
    const std::string longDir = "/mnt/" + std::string(260, 'd');
    EXPECT_EQ(Run(longDir.c_str(), "", "", kOperationEnsureDirectory), 0);
    const std::string text = record.Text();
    EXPECT_NE(text.find("Remote path of 309 bytes does not fit the route's 260-byte buffer: /mnt/mmc/aaa"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Remote path of 265 bytes does not fit the route's 260-byte buffer: /mnt/ddd"),
              std::string::npos)
        << text;
}

TEST_F(SftpRoute, TargetThatStopsAnsweringMidUploadFailsWithinTheBound)
{
    WriteFile(local.file("big.bin"), Bytes(40 * 1024 * 1024));
    // Freeze the target's session once a tenth of the file is on its way.
    progress.onPosition = [](int position) {
        static bool frozen = false;
        if (position >= 10 && !frozen) {
            frozen = true;
            std::ofstream("freeze") << "stop";
            ::Sleep(500);
        }
    };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run("/mnt/mmc", "big.bin", local.path(), kOperationUpload), 0);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(seconds.count(), 30);
    fs::remove("freeze");
}

// The target's key is remembered at the first contact; a key that differs
// from the one remembered is asked about once per command, and nothing goes
// to a controller whose key is not trusted.
TEST_F(SftpRoute, ChangedHostKeyIsAskedAboutOnce)
{
    WriteFile(local.file("five.bin"), Bytes(5000));
    fs::remove(TargetRoot() / "mnt/mmc/five.bin");
    EXPECT_EQ(Run("/mnt/mmc", "", "", kOperationEnsureDirectory), 1);
    EXPECT_TRUE(hostKeys.questions.empty());
    const std::string remembered = ReadAll(hostKeys.KnownHostsFile());
    ASSERT_EQ(remembered.rfind("127.0.0.2 ecdsa-sha2-nistp256 ", 0), 0u) << remembered;

    // Another controller's key (made with ssh-keygen) under the address.
    WriteFile(hostKeys.KnownHostsFile(),
              "127.0.0.2 ecdsa-sha2-nistp256 AAAAE2VjZHNhLXNoYTItbmlzdHAyNTYAAAAIbmlzdHAyNTYAAABBBHoYwNHiQmrkoINSRIPbJ"
              "isnzLpNlQpZltbMYb8LM9bN49HqZB/A8jzebidCQPuep3cSdMV8rzZ9CcoNDkLQ++s=\n");
    hostKeys.answer = false;
    EXPECT_EQ(Run("/mnt/mmc", "five.bin", local.path(), kOperationUpload), -1);
    EXPECT_EQ(Run("/mnt/mmc", "five.bin", local.path(), kOperationUpload), -1);
    EXPECT_FALSE(fs::exists(TargetRoot() / "mnt/mmc/five.bin"));
    ASSERT_EQ(hostKeys.questions.size(), 1u);
    EXPECT_EQ(hostKeys.questions[0].address, "127.0.0.2");
    EXPECT_EQ(hostKeys.questions[0].knownFingerprint, "SHA256:+Uyv9RDha5agUkC4DXRzVr2rGpLprgbFUkzyWz/dpG4");
    const std::string text = record.Text();
    EXPECT_NE(text.find("Fingerprint " + hostKeys.questions[0].offeredFingerprint + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Host key not trusted\n"), std::string::npos) << text;

    hostKeys.answers.clear();  // the next command
    hostKeys.answer = true;
    EXPECT_EQ(Run("/mnt/mmc", "five.bin", local.path(), kOperationUpload), 1);
    EXPECT_EQ(ReadAll(TargetRoot() / "mnt/mmc/five.bin"), Bytes(5000));
    EXPECT_EQ(hostKeys.questions.size(), 2u);
    EXPECT_EQ(ReadAll(hostKeys.KnownHostsFile()), remembered);
}
}  // namespace
