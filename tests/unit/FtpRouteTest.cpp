// The FTP route against real FTP targets on loopback (tests/peers): started
// by tests/peers/with_ftp_targets.sh, which also says which address
// misbehaves in which way.
#include "FtpTransfer.h"
#include "RecordedLines.h"
#include "TestDirs.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {
const char kTarget[] = "127.0.0.3";
const char kNetworkFailure[] = "网络异常或CPU模块选型错误!";

// A target's folder (its "/") as this Windows program sees it.
fs::path TargetRoot(const std::string& name)
{
    const char* work = std::getenv("BRANTEL_FTP_WORK");
    std::string path = std::string("Z:") + (work ? work : "/nonexistent") + "/" + name;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return fs::path(path);
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Journal(const std::string& name) { return ReadFile(TargetRoot(name + ".journal")); }

// Bytes that a text-mode transfer would change: line ends, NUL, ^Z, high bytes.
std::string BinaryContent(size_t size)
{
    std::string content(size, '\0');
    for (size_t i = 0; i < size; ++i)
        content[i] = "\r\n\x00\x1a\xff\n"[i % 6] ^ static_cast<char>(i / 6);
    return content;
}

int ThreadsOfThisProcess()
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId();
    ::CloseHandle(snapshot);
    return count;
}

class FtpRoute : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::is_directory(TargetRoot("target"))) << "run through tests/peers/with_ftp_targets.sh";
        std::ofstream(TargetRoot("target.journal"), std::ios::trunc);
    }

    int Run(const char* address, const char* remoteDir, const char* fileName, const char* localDir, int operation)
    {
        RemoteRequest request{kRouteFtp, address, "root", "secret", remoteDir, fileName, localDir, kAuthPublicKey,
                              operation};
        return FtpTransfer(
            request,
            [this](const char* text, MessageText source) {
                messages.push_back(text);
                sources.push_back(source);
            },
            record);
    }

    std::string WriteLocal(const std::string& name, const std::string& content)
    {
        std::ofstream(local.file(name), std::ios::binary) << content;
        return content;
    }

    ScratchDir local;
    RecordedLines record;
    std::vector<std::string> messages;
    std::vector<MessageText> sources;
};

TEST_F(FtpRoute, UploadLandsByteIdenticalAndLogsInAnonymouslyWhateverTheRequestSays)
{
    fs::create_directories(TargetRoot("target") / "mnt" / "nandflash");
    std::string sent = WriteLocal("Korvid", BinaryContent(300 * 1024 + 7));

    EXPECT_EQ(Run(kTarget, "/mnt/nandflash", "Korvid", local.path().c_str(), kOperationUpload), 1);

    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(ReadFile(TargetRoot("target") / "mnt" / "nandflash" / "Korvid") == sent);
    std::string journal = Journal("target");
    EXPECT_NE(journal.find("CMD USER anonymous\n"), std::string::npos) << journal;
    EXPECT_NE(journal.find("LOGIN anonymous\n"), std::string::npos) << journal;
    EXPECT_EQ(journal.find("USER root"), std::string::npos) << journal;
    EXPECT_EQ(journal.find("secret"), std::string::npos) << journal;
}

TEST_F(FtpRoute, EmptyLocalDirTakesTheFileFromTheWorkingDirectory)
{
    std::string sent = WriteLocal("shutdown.txt", "shutdown\r\n");
    char previous[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ::SetCurrentDirectoryA(local.path().c_str());
    int result = Run(kTarget, "", "shutdown.txt", "", kOperationUpload);
    ::SetCurrentDirectoryA(previous);

    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadFile(TargetRoot("target") / "shutdown.txt"), sent);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FtpRoute, MissingLocalFileFailsQuietlyWithoutTouchingTheTarget)
{
    EXPECT_EQ(Run(kTarget, "", "no_such_update.bin", local.path().c_str(), kOperationUpload), 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(fs::exists(TargetRoot("target") / "no_such_update.bin"));
}

TEST_F(FtpRoute, DownloadFetchesTheRemoteFileIntoTheLocalPath)
{
    std::string stored = BinaryContent(70 * 1024);
    std::ofstream(TargetRoot("target") / "userinfo.txt", std::ios::binary) << stored;

    EXPECT_EQ(Run(kTarget, "", "userinfo.txt", local.path().c_str(), kOperationDownload), 1);

    EXPECT_TRUE(ReadFile(local.file("userinfo.txt")) == stored);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FtpRoute, UnknownOperationIsNoSuccess)
{
    EXPECT_EQ(Run(kTarget, "/existing", "", "", 7), 0);
    EXPECT_TRUE(messages.empty());
}

// A call abandoned at its deadline must not leave its worker waiting for ever
// for a data connection that never comes.
TEST_F(FtpRoute, AbandonedTransferLeavesNoThreadBehind)
{
    WriteLocal("reboot.txt", "reboot\r\n");
    // WinINet keeps helper threads of its own once used.
    ASSERT_EQ(Run(kTarget, "", "reboot.txt", local.path().c_str(), kOperationUpload), 1);
    int before = ThreadsOfThisProcess();

    EXPECT_EQ(Run("127.0.0.7", "", "reboot.txt", local.path().c_str(), kOperationUpload), 0);

    int after = ThreadsOfThisProcess();
    for (int i = 0; i < 400 && after > before; ++i) {
        ::Sleep(100);
        after = ThreadsOfThisProcess();
    }
    EXPECT_LE(after, before);
}

struct DirectoryCase {
    const char* remoteDir;
    const char* sentPath;  // as the target must receive it
    int expected;
    bool existsAfter;
    bool creates;  // whether MKD is sent after CWD fails
};

class FtpEnsureDirectory : public FtpRoute, public ::testing::WithParamInterface<DirectoryCase> {};

TEST_P(FtpEnsureDirectory, ChangesIntoOrCreatesTheDirectory)
{
    fs::create_directories(TargetRoot("target") / "existing" / "plc3");
    fs::path marker = TargetRoot("target") / "existing" / "plc3" / "keep";
    std::ofstream(marker) << "x";
    const DirectoryCase& c = GetParam();

    EXPECT_EQ(Run(kTarget, c.remoteDir, "", "", kOperationEnsureDirectory), c.expected);

    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(fs::is_directory(TargetRoot("target") / (std::string(".") + c.remoteDir)), c.existsAfter);
    EXPECT_TRUE(fs::exists(marker));  // an existing directory is left as it was
    std::string journal = Journal("target");
    EXPECT_NE(journal.find(std::string("CMD CWD ") + c.sentPath + "\n"), std::string::npos) << journal;
    bool created = journal.find(std::string("CMD MKD ") + c.sentPath + "\n") != std::string::npos;
    EXPECT_EQ(created, c.creates) << journal;
}

INSTANTIATE_TEST_SUITE_P(Paths, FtpEnsureDirectory, ::testing::Values(
    DirectoryCase{"/existing/plc3", "/existing/plc3/", 1, true, false},
    DirectoryCase{"/existing/plc4", "/existing/plc4/", 1, true, true},
    DirectoryCase{"/missing/plc5", "/missing/plc5/", 0, false, true}));

enum class Told { Nothing, ConnectionError, NetworkFailure };

struct FailureCase {
    const char* name;
    const char* address;
    const char* remoteDir;
    Told told;
    const char* targetFolder;  // where a partial upload would land, or null
};

class FtpUploadFailure : public FtpRoute, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FtpUploadFailure, FailsWithinThirtySecondsAndTellsTheUserOnlyOfBrokenConnections)
{
    const FailureCase& c = GetParam();
    std::string sent = WriteLocal("update.bin", BinaryContent(256 * 1024));
    auto start = std::chrono::steady_clock::now();

    EXPECT_EQ(Run(c.address, c.remoteDir, "update.bin", local.path().c_str(), kOperationUpload), 0);

    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(seconds.count(), 30);
    switch (c.told) {
    case Told::Nothing:
        EXPECT_TRUE(messages.empty());
        break;
    case Told::NetworkFailure:
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], kNetworkFailure);
        EXPECT_EQ(sources[0], MessageText::Program);
        break;
    case Told::ConnectionError:
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0], kNetworkFailure);
        EXPECT_FALSE(messages[0].empty());
        // WinINet's own words are the system's; the stand-in is the program's.
        EXPECT_EQ(sources[0], messages[0] == "There was an exception" ? MessageText::Program : MessageText::System);
        break;
    }
    if (c.targetFolder) {
        fs::path landed = TargetRoot(c.targetFolder) / (std::string(".") + c.remoteDir) / "update.bin";
        EXPECT_FALSE(fs::exists(landed) && ReadFile(landed) == sent);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FtpUploadFailure, ::testing::Values(
    FailureCase{"NoFtpService", "127.0.0.8", "", Told::ConnectionError, nullptr},
    FailureCase{"LoginRefused", "127.0.0.4", "", Told::ConnectionError, nullptr},
    FailureCase{"NeverGreets", "127.0.0.10", "", Told::ConnectionError, nullptr},
    FailureCase{"UnwritableDirectory", kTarget, "/locked", Told::Nothing, "target"},
    FailureCase{"MissingDirectory", kTarget, "/no/such/dir", Told::Nothing, nullptr},
    FailureCase{"AbortedMidway", "127.0.0.5", "", Told::NetworkFailure, "cutting"},
    FailureCase{"SessionDroppedMidway", "127.0.0.6", "", Told::NetworkFailure, "hangup"},
    FailureCase{"NeverConnectsBack", "127.0.0.7", "", Told::NetworkFailure, nullptr},
    FailureCase{"SilentAfter150", "127.0.0.9", "", Told::NetworkFailure, nullptr}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(FtpRoute, RecordHasWhatWasSentAndWhyATransferFailed)
{
    WriteLocal("update.bin", "0123456789");
    const std::string sha256 = "84d89877f0d4041efb6bf91a16f0248f2fd573e6af05c19f96bedb9f882f7882";
    const struct {
        const char* what;
        const char* address;
        const char* remoteDir;
        std::vector<std::string> lines;  // in this order, among the record's
    } cases[] = {
        {"sent", kTarget, "", {"FTP upload 127.0.0.3:/update.bin from " + local.file("update.bin") +
                                   ", size 10 bytes, SHA-256 " + sha256 + ", 10 bytes sent, "}},
        {"refused by the server", kTarget, "/locked",
         {"FTP put failed: WinINet error 12003", "; the server's last reply: 550 ",
          "FTP upload 127.0.0.3:/locked/update.bin from " + local.file("update.bin") + ", size 10 bytes, SHA-256 " +
              sha256 + ", bytes sent unknown, "}},
        {"login refused", "127.0.0.4", "", {"FTP connect to 127.0.0.4 failed: WinINet error 12015", "530 "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedLines fresh;
        RemoteRequest request{kRouteFtp, c.address, "", "", c.remoteDir, "update.bin", local.path().c_str(), 0,
                              kOperationUpload};
        const int result = FtpTransfer(request, [](const char*, MessageText) {}, fresh);
        const std::string text = fresh.Text();
        size_t at = 0;
        for (const std::string& piece : c.lines) {
            at = text.find(piece, at);
            ASSERT_NE(at, std::string::npos) << piece << "\n" << text;
        }
        EXPECT_NE(text.find(", result " + std::to_string(result) + "\n"), std::string::npos) << text;
    }
}

TEST(FtpPaths, LocalPathUsesAForwardSlashAndRemoteDirectoryPathEndsInSlash)
{
    RemoteRequest upload{kRouteFtp, kTarget, "", "", "/mnt/nandflash/plc1", "app.bin", "C:\\upd", 4, kOperationUpload};
    EXPECT_EQ(FtpLocalPath(upload), "C:\\upd/app.bin");
    EXPECT_EQ(FtpRemotePath(upload), "/mnt/nandflash/plc1/app.bin");
    RemoteRequest directory{kRouteFtp, kTarget, "", "", "/mnt/nandflash/plc1", "", "", 4, kOperationEnsureDirectory};
    EXPECT_EQ(FtpRemotePath(directory), "/mnt/nandflash/plc1/");
}
}  // namespace
