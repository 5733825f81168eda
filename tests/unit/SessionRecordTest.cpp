// The session record: its lines, its size limit, the records kept, and a
// folder that will not take one.
#include "OpenRecord.h"
#include "RecordFolder.h"
#include "SessionRecord.h"
#include "TestDirs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {
namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring Wide(const std::string& text) { return fs::path(text).wstring(); }

TEST(SessionRecord, EachEventIsOneTimedUtf8Line)
{
    ScratchDir dir;
    const fs::path path = dir.file("record.log");
    SessionRecord record;
    ASSERT_TRUE(record.Open(path.wstring()));
    record.Write("message box: \xE5\x8D\x87\xE7\xBA\xA7\xE7\xBB\x93\xE6\x9D\x9F");  // 升级结束
    record.Write("FTP put failed: the server's last reply: 550 No room.\r\n551 Really no room.\r\n");
    record.Close();

    const std::string text = ReadAll(path);
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} ([^\r\n]*)\r\n)");
    std::string rest = text.substr(3);
    std::smatch match;
    ASSERT_TRUE(std::regex_search(rest, match, line, std::regex_constants::match_continuous)) << rest;
    EXPECT_EQ(match[1], "message box: \xE5\x8D\x87\xE7\xBA\xA7\xE7\xBB\x93\xE6\x9D\x9F");
    rest = match.suffix();
    ASSERT_TRUE(std::regex_search(rest, match, line, std::regex_constants::match_continuous)) << rest;
    EXPECT_EQ(match[1], "FTP put failed: the server's last reply: 550 No room. | 551 Really no room.");
    EXPECT_EQ(match.suffix(), "");
}

TEST(SessionRecord, StopsGrowingAtItsLimitWithALastLineSayingSo)
{
    ScratchDir dir;
    const fs::path path = dir.file("record.log");
    constexpr unsigned long long kLimit = 1000;
    SessionRecord record;
    ASSERT_TRUE(record.Open(path.wstring(), kLimit));
    for (int i = 0; i < 100; ++i)
        record.Write("operation " + std::to_string(i) + " of a long session");
    const auto full = fs::file_size(path);
    record.Write("one more");
    record.WriteFault(L"C:\\report.TXT");
    record.Close();

    EXPECT_LE(full, kLimit);
    EXPECT_EQ(fs::file_size(path), full);
    const std::string text = ReadAll(path);
    const std::string last = "The record has reached its limit of 20 MB: nothing more is written to it.\r\n";
    ASSERT_GE(text.size(), last.size());
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    EXPECT_NE(text.find("operation 0 of"), std::string::npos);
}

TEST(SessionRecord, FaultLineNamesTheCrashReport)
{
    ScratchDir dir;
    const fs::path path = dir.file("record.log");
    SessionRecord record;
    ASSERT_TRUE(record.Open(path.wstring()));
    record.WriteFault(L"C:\\\x9519\x8BEF\x62A5\x544A_Brantel.exe.TXT");  // 错误报告
    record.WriteFault(nullptr);
    record.Close();
    const std::string text = ReadAll(path);
    EXPECT_NE(text.find("fault: the program failed; crash report C:\\\xE9\x94\x99\xE8\xAF\xAF\xE6\x8A\xA5\xE5\x91\x8A_Brantel.exe.TXT\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("fault: the program failed; no crash report could be written\r\n"), std::string::npos);
}

TEST(SessionRecord, WritesNothingWhileNoneIsOpen)
{
    SessionRecord record;
    record.Write("lost");
    record.WriteFault(nullptr);
    EXPECT_FALSE(record.IsOpen());
}

// A record named for the given day, last written then.
void MakeRecord(const fs::path& folder, const std::wstring& name, int daysAgo)
{
    const fs::path path = folder / name;
    std::ofstream(path) << "x";
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
    time.QuadPart -= static_cast<unsigned long long>(daysAgo) * 24 * 60 * 60 * 10000000ull;
    const FILETIME written{time.LowPart, time.HighPart};
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ::SetFileTime(file, nullptr, nullptr, &written);
    ::CloseHandle(file);
}

std::set<std::wstring> Names(const fs::path& folder)
{
    std::set<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().wstring());
    return names;
}

std::wstring RecordName(int index)
{
    SYSTEMTIME start{};
    start.wYear = 2026;
    start.wMonth = 1 + index / 28;
    start.wDay = 1 + index % 28;
    start.wHour = 9;
    return RecordFileName(start, 4000 + index);
}

TEST(PruneRecords, KeepsTheNewestAndNoneTooOldAndNothingElse)
{
    const struct {
        const char* what;
        int records;     // named oldest first, all written a day ago
        int tooOld;      // of which the oldest ones are 91 days old
        int expected;    // records left, the newest ones
    } cases[] = {
        {"a few, all recent", 5, 0, 5},
        {"exactly room for the next", 49, 0, 49},
        {"more than 50", 60, 0, 49},
        {"few, two too old", 6, 2, 4},
        {"many, some too old", 55, 10, 45},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        const fs::path folder(dir.path());
        for (int i = 0; i < c.records; ++i)
            MakeRecord(folder, RecordName(i), i < c.tooOld ? 91 : 1);
        // What the program did not name is never touched, however old.
        MakeRecord(folder, L"Brantel-notes.log", 400);
        MakeRecord(folder, L"Brantel-2026-report.log", 400);
        MakeRecord(folder, L"customer.txt", 400);

        FILETIME now;
        ::GetSystemTimeAsFileTime(&now);
        PruneRecords(folder.wstring(), kRecordsKept, kRecordDaysKept, now);

        std::set<std::wstring> expected = {L"Brantel-notes.log", L"Brantel-2026-report.log", L"customer.txt"};
        for (int i = c.records - c.expected; i < c.records; ++i)
            expected.insert(RecordName(i));
        EXPECT_EQ(Names(folder), expected);
    }
}

TEST(PruneRecords, LeavesARecordThatAnotherCopyStillWrites)
{
    ScratchDir dir;
    const fs::path folder(dir.path());
    for (int i = 0; i < 55; ++i)
        MakeRecord(folder, RecordName(i), 1);
    SessionRecord running;
    ::DeleteFileW((folder / RecordName(0)).c_str());
    ASSERT_TRUE(running.Open((folder / RecordName(0)).wstring()));
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    PruneRecords(folder.wstring(), kRecordsKept, kRecordDaysKept, now);
    EXPECT_TRUE(fs::exists(folder / RecordName(0)));
    EXPECT_FALSE(fs::exists(folder / RecordName(1)));
    EXPECT_TRUE(fs::exists(folder / RecordName(54)));
}

TEST(OpenSessionRecord, MakesTheFolderAndARecordNamedForTheStartAndTheProcess)
{
    ScratchDir dir;
    const fs::path folder = fs::path(dir.path()) / "Brantel" / "logs";
    SYSTEMTIME start{};
    start.wYear = 2026, start.wMonth = 12, start.wDay = 11, start.wHour = 14, start.wMinute = 25, start.wSecond = 3;
    SessionRecord record;
    ASSERT_TRUE(OpenSessionRecord(record, folder.wstring(), start));
    record.Close();
    const std::wstring name = L"Brantel-20261211-142503-" + std::to_wstring(::GetCurrentProcessId()) + L".log";
    EXPECT_EQ(Names(folder), std::set<std::wstring>{name});
}

TEST(OpenSessionRecord, AFolderThatCannotBeMadeLeavesNoRecord)
{
    ScratchDir dir;
    // A file where the folder should be: the record cannot go there, as
    // it cannot where the user's folder refuses writes.
    std::ofstream(dir.file("Brantel")) << "in the way";
    SessionRecord record;
    SYSTEMTIME start{};
    ::GetLocalTime(&start);
    EXPECT_FALSE(OpenSessionRecord(record, Wide(dir.file("Brantel\\logs")), start));
    EXPECT_FALSE(record.IsOpen());
    record.Write("lost");
    EXPECT_FALSE(OpenSessionRecord(record, L"", start));
}
}  // namespace
