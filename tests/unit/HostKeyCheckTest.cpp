// Knowing a controller again: the decision on the key a controller offers,
// against known_hosts files as OpenSSH writes them, with a fake question.
#include "FakeHostKeys.h"
#include "HostKeyCheck.h"
#include "HostKeyFingerprint.h"
#include "RecordedLines.h"
#include "SftpDiagnostics.h"
#include "TestDirs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace {
// Keys made with ssh-keygen, with the fingerprints "ssh-keygen -l" shows.
const char kKeyA[] =
    "ecdsa-sha2-nistp256 AAAAE2VjZHNhLXNoYTItbmlzdHAyNTYAAAAIbmlzdHAyNTYAAABBBAEF19nrpVLCmtB1nxaTbSw91S5LbjDjDoux3EgRT"
    "v6YPNjMMFxqbhNwk0q4/Ip+CUhDxUvXrkxQYNm//DjZA5c=";
const char kFingerprintA[] = "SHA256:tBERniD0Zl8uUntq5fJv4n8a3GVInGboma1bO7iv7Wg";
const char kKeyB[] =
    "ecdsa-sha2-nistp256 AAAAE2VjZHNhLXNoYTItbmlzdHAyNTYAAAAIbmlzdHAyNTYAAABBBHoYwNHiQmrkoINSRIPbJisnzLpNlQpZltbMYb8LM"
    "9bN49HqZB/A8jzebidCQPuep3cSdMV8rzZ9CcoNDkLQ++s=";
const char kFingerprintB[] = "SHA256:+Uyv9RDha5agUkC4DXRzVr2rGpLprgbFUkzyWz/dpG4";
const char kKeyE[] = "ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIBzSvRcnF5AEVnfhrFvdA49jHYO7VhE5UEYuQuQ/aRsU";
const char kFingerprintE[] = "SHA256:7YZl+2v/lgfUpLUwbH9ipMCSP1816Kd8v/YCR80aHKU";
// Key A under the name 127.0.0.2 as "ssh-keygen -H" hashes it.
const char kHashedA[] =
    "|1|UDw7JpgzjUnMBqi3lZoCqhdlPiE=|MMUiAv2t70tcQkgTDTN0CnQpp7g= ecdsa-sha2-nistp256 AAAAE2VjZHNhLXNoYTItbmlzdHAyNTYAAA"
    "AIbmlzdHAyNTYAAABBBAEF19nrpVLCmtB1nxaTbSw91S5LbjDjDoux3EgRTv6YPNjMMFxqbhNwk0q4/Ip+CUhDxUvXrkxQYNm//DjZA5c=";

// A key line's key as the server sends it.
HostKey Offered(const std::string& line)
{
    const size_t space = line.find(' ');
    const std::string name = line.substr(0, space);
    const int type = name == "ssh-ed25519" ? LIBSSH2_KNOWNHOST_KEY_ED25519 : LIBSSH2_KNOWNHOST_KEY_ECDSA_256;
    return HostKey{type, DecodeBase64(line.substr(space + 1))};
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The file's lines without their line ends.
std::vector<std::string> Lines(const std::string& path)
{
    std::vector<std::string> lines;
    std::istringstream in(ReadAll(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class HostKeyCheck : public ::testing::Test {
protected:
    HostKeyCheck() : session(::libssh2_session_init()), trust(settings.path()) {}
    ~HostKeyCheck() override { ::libssh2_session_free(session); }

    void WriteKnownHosts(const std::vector<std::string>& lines)
    {
        std::ofstream out(trust.KnownHostsFile(), std::ios::binary);
        for (const std::string& line : lines)
            out << line << "\n";
    }
    HostKeyVerdict Decide(const HostKey& offered, const char* address = "127.0.0.2")
    {
        KnownHosts known(session, trust.KnownHostsFile());
        SftpDiagnostics diagnostics(record);
        return DecideHostKey(address, offered, known, trust, diagnostics);
    }

    LIBSSH2_SESSION* session;
    ScratchDir settings;
    FakeHostKeys trust;
    RecordedLines record;
};

TEST_F(HostKeyCheck, FingerprintsAreTheOnesOpenSshShows)
{
    EXPECT_EQ(OpenSshSha256FingerprintOfKey(Offered(kKeyA).blob), kFingerprintA);
    EXPECT_EQ(OpenSshSha256FingerprintOfKey(Offered(kKeyE).blob), kFingerprintE);
}

TEST_F(HostKeyCheck, DecisionTable)
{
    const std::string other = std::string("127.0.0.9 ") + kKeyE;
    struct Case {
        const char* what;
        std::vector<std::string> file;  // empty: no file
        std::optional<HostKeyAnswer> answeredBefore;
        bool answer;
        const char* offered;
        HostKeyVerdict verdict;
        std::optional<HostKeyChange> question;
        std::vector<std::string> fileAfter;
    };
    const std::string a = std::string("127.0.0.2 ") + kKeyA;
    const std::string b = std::string("127.0.0.2 ") + kKeyB;
    const std::string e = std::string("127.0.0.2 ") + kKeyE;
    const HostKeyChange bToA{"127.0.0.2", kFingerprintB, kFingerprintA};
    const Case cases[] = {
        {"first contact", {}, {}, false, kKeyA, HostKeyVerdict::Trusted, {}, {a}},
        {"first contact, other controllers kept", {other}, {}, false, kKeyA, HostKeyVerdict::Trusted, {}, {other, a}},
        {"the key remembered", {other, a}, {}, false, kKeyA, HostKeyVerdict::Trusted, {}, {other, a}},
        {"remembered hashed", {kHashedA}, {}, false, kKeyA, HostKeyVerdict::Trusted, {}, {kHashedA}},
        {"remembered for port 22", {std::string("[127.0.0.2]:22 ") + kKeyA}, {}, false, kKeyA,
         HostKeyVerdict::Trusted, {}, {std::string("[127.0.0.2]:22 ") + kKeyA}},
        {"one of two remembered types", {e, a}, {}, false, kKeyA, HostKeyVerdict::Trusted, {}, {e, a}},
        {"changed, not trusted", {b, other}, {}, false, kKeyA, HostKeyVerdict::Refused, bToA, {b, other}},
        {"changed, trusted", {b, other}, {}, true, kKeyA, HostKeyVerdict::TrustedAfterQuestion, bToA, {other, a}},
        {"changed from hashed, trusted", {kHashedA}, {}, true, kKeyB, HostKeyVerdict::TrustedAfterQuestion,
         HostKeyChange{"127.0.0.2", kFingerprintA, kFingerprintB}, {b}},
        {"another type remembered", {e}, {}, false, kKeyA, HostKeyVerdict::Refused,
         HostKeyChange{"127.0.0.2", kFingerprintE, kFingerprintA}, {e}},
        {"refused before in the command", {b}, HostKeyAnswer{false, kFingerprintA}, true, kKeyA,
         HostKeyVerdict::Refused, {}, {b}},
        {"trusted before in the command", {b}, HostKeyAnswer{true, kFingerprintA}, false, kKeyA,
         HostKeyVerdict::Trusted, {}, {b}},
        {"trusted before, another key now", {b}, HostKeyAnswer{true, kFingerprintE}, true, kKeyA,
         HostKeyVerdict::Refused, {}, {b}},
    };
    for (const Case& c : cases) {
        ::DeleteFileA(trust.KnownHostsFile().c_str());
        if (!c.file.empty())
            WriteKnownHosts(c.file);
        trust.answers.clear();
        if (c.answeredBefore)
            trust.answers["127.0.0.2"] = *c.answeredBefore;
        trust.questions.clear();
        trust.answer = c.answer;

        EXPECT_EQ(Decide(Offered(c.offered)), c.verdict) << c.what;
        ASSERT_EQ(trust.questions.size(), c.question ? 1u : 0u) << c.what;
        if (c.question) {
            EXPECT_EQ(trust.questions[0].address, c.question->address) << c.what;
            EXPECT_EQ(trust.questions[0].knownFingerprint, c.question->knownFingerprint) << c.what;
            EXPECT_EQ(trust.questions[0].offeredFingerprint, c.question->offeredFingerprint) << c.what;
            // The answer stands for the rest of the command.
            ASSERT_EQ(trust.answers.count("127.0.0.2"), 1u) << c.what;
            EXPECT_EQ(trust.answers["127.0.0.2"].trusted, c.answer) << c.what;
        }
        EXPECT_EQ(Lines(trust.KnownHostsFile()), c.fileAfter) << c.what;
    }
}

TEST_F(HostKeyCheck, AtMostOneQuestionPerCommand)
{
    WriteKnownHosts({std::string("127.0.0.2 ") + kKeyB});
    trust.answer = false;
    EXPECT_EQ(Decide(Offered(kKeyA)), HostKeyVerdict::Refused);
    EXPECT_EQ(Decide(Offered(kKeyA)), HostKeyVerdict::Refused);
    EXPECT_EQ(trust.questions.size(), 1u);

    trust.answers.clear();  // the next command
    trust.answer = true;
    EXPECT_EQ(Decide(Offered(kKeyA)), HostKeyVerdict::TrustedAfterQuestion);
    EXPECT_EQ(Decide(Offered(kKeyA)), HostKeyVerdict::Trusted);
    trust.answers.clear();
    EXPECT_EQ(Decide(Offered(kKeyA)), HostKeyVerdict::Trusted) << "remembered in the file";
    EXPECT_EQ(trust.questions.size(), 2u);
}

TEST_F(HostKeyCheck, FileReadOnlyInPartIsCheckedButNeverWritten)
{
    // libssh2 stops at the line it cannot take; the lines after it are
    // never seen.
    const std::vector<std::string> file = {std::string("127.0.0.2 ") + kKeyB, "127.0.0.7",
                                           std::string("127.0.0.3 ") + kKeyB};
    WriteKnownHosts(file);
    const std::string before = ReadAll(trust.KnownHostsFile());
    trust.answer = true;
    EXPECT_EQ(Decide(Offered(kKeyA)), HostKeyVerdict::TrustedAfterQuestion);
    EXPECT_EQ(trust.questions.size(), 1u) << "a changed key is still asked about";
    EXPECT_EQ(Decide(Offered(kKeyA), "127.0.0.4"), HostKeyVerdict::Trusted) << "first contact goes on";
    EXPECT_EQ(ReadAll(trust.KnownHostsFile()), before);
    EXPECT_NE(record.Text().find("Host key of 127.0.0.4 not remembered: " + trust.KnownHostsFile() +
                                 " is left as it is, it could not be read whole"),
              std::string::npos)
        << record.Text();
}

TEST_F(HostKeyCheck, FolderThatCannotBeWritten)
{
    // A folder that is not there: nothing is known, nothing can be kept.
    FakeHostKeys missing(settings.path() + "\\missing");
    KnownHosts nowhere(session, missing.KnownHostsFile());
    SftpDiagnostics diagnostics(record);
    EXPECT_EQ(DecideHostKey("127.0.0.2", Offered(kKeyA), nowhere, missing, diagnostics), HostKeyVerdict::Trusted);
    EXPECT_NE(record.Text().find("Host key of 127.0.0.2 not remembered: " + missing.KnownHostsFile() +
                                 " cannot be written"),
              std::string::npos)
        << record.Text();

    // A file that can be read but not replaced (held open without leave to
    // delete it, as a folder that may not be written refuses the new file):
    // still checked, the changed key still asked about, the file kept.
    WriteKnownHosts({std::string("127.0.0.2 ") + kKeyB});
    const std::string before = ReadAll(trust.KnownHostsFile());
    HANDLE held = ::CreateFileA(trust.KnownHostsFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    trust.answer = true;
    EXPECT_EQ(Decide(Offered(kKeyA)), HostKeyVerdict::TrustedAfterQuestion);
    EXPECT_EQ(Decide(Offered(kKeyA)), HostKeyVerdict::Trusted) << "trusted for the rest of the command";
    EXPECT_EQ(trust.questions.size(), 1u);
    ::CloseHandle(held);
    EXPECT_EQ(ReadAll(trust.KnownHostsFile()), before);
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((settings.path() + "\\kh*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "no temporary file left behind";
    if (search != INVALID_HANDLE_VALUE)
        ::FindClose(search);
}
}  // namespace
