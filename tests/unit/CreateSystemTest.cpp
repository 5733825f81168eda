#include "FakeCommandHost.h"
#include "FileSets.h"
#include "UpgradeCommands.h"
#include "WorkingDir.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;

const Events kProgramSends(const std::string& root)
{
    Events events;
    for (const char* name : {"userinfo.txt", "user.sh", "run.sh", "test_isa", "scan", "Korvid", "Telvo"})
        events.push_back("send " + root + " " + name);
    for (int slot = 1; slot <= 8; ++slot)
        events.push_back("mkdir " + root + "/plc" + std::to_string(slot));
    return events;
}

Events Join(Events head, const Events& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

class CreateSystem : public InScratchWorkingDir {
protected:
    void SetUp() override
    {
        InScratchWorkingDir::SetUp();
        for (int model : {kModelM410, kModelM520}) {
            for (int i = 0; i < kSystemFileCount; ++i)
                Write(SystemFileVariant(i, model), SystemFileVariant(i, model));
        }
        for (const char* config : {"issue", "hostname", "inetd.conf", "rc.local"})
            Write(config, config);
    }
    FakeCommandHost host;
    CommandState state;
};

TEST_F(CreateSystem, M520SendsEveryFileInOrderThenMakesTheSlotsAndCleansUp)
{
    host.model = kModelM520;
    OnCreateSystem(host, state);
    const Events expected = Join({"disable 1006", "send /etc rc.local", "send /home/root run.sh", "send /etc issue",
                                  "send /etc hostname"},
                                 Join(kProgramSends("/mnt/mmc"), {"enable 1006", "message 升级结束"}));
    EXPECT_EQ(host.events, expected);
    for (const SentRequest& r : host.sent) {
        EXPECT_EQ(r.route, 1);
        EXPECT_EQ(r.targetAddress, "10.1.2.3");
        EXPECT_EQ(r.userName, "root");
        EXPECT_EQ(r.password, "");
        EXPECT_EQ(r.localDir, "");
        EXPECT_EQ(r.authPreference, 4);
        EXPECT_EQ(r.operation, r.fileName.empty() ? 2 : 1);
    }
    EXPECT_STREQ(state.m_szHostIp, "10.1.2.3");
    for (const char* gone : {"Korvid", "run.sh", "scan", "Telvo", "test_isa"})
        EXPECT_FALSE(Exists(gone)) << gone;
    EXPECT_EQ(Read("userinfo.txt"), "userinfo-M520.txt");
    EXPECT_EQ(Read("user.sh"), "user-M520.sh");
}

TEST_F(CreateSystem, M410SendsInetdConfTwiceFirst)
{
    host.model = kModelM410;
    OnCreateSystem(host, state);
    const Events expected = Join({"disable 1006", "send / inetd.conf", "send /etc inetd.conf", "send /etc issue",
                                  "send /etc hostname"},
                                 Join(kProgramSends("/mnt/nandflash"), {"enable 1006", "message 升级结束"}));
    EXPECT_EQ(host.events, expected);
    for (const SentRequest& r : host.sent)
        EXPECT_EQ(r.route, 0);
}

struct InetdCase {
    const char* name;
    int first, second;
    bool stops;
    Events expected;  // all events when the command stops, else up to the "issue" send
};

class CreateSystemInetd : public CreateSystem, public ::testing::WithParamInterface<InetdCase> {};

TEST_P(CreateSystemInetd, FollowsBothResults)
{
    host.model = kModelM410;
    int inetdCalls = 0;
    host.answer = [&](const SentRequest& r) {
        if (r.fileName == "inetd.conf")
            return ++inetdCalls == 1 ? GetParam().first : GetParam().second;
        return 1;
    };
    OnCreateSystem(host, state);
    const Events& expected = GetParam().expected;
    if (GetParam().stops) {
        EXPECT_EQ(host.events, expected);
        return;
    }
    ASSERT_GE(host.events.size(), expected.size());
    EXPECT_EQ(Events(host.events.begin(), host.events.begin() + expected.size()), expected);
}

INSTANTIATE_TEST_SUITE_P(Results, CreateSystemInetd, ::testing::Values(
    InetdCase{"FirstFailsStopsAtOnce", 0, 1, true,
              {"disable 1006", "send / inetd.conf", "message 升级失败", "enable 1006"}},
    InetdCase{"SecondFailsAsksForRestartAndGoesOn", 1, 0, false,
              {"disable 1006", "send / inetd.conf", "send /etc inetd.conf", "message 请重启主机，然后重新进行系统升级",
               "send /etc issue"}},
    InetdCase{"SecondUnreachableAsksForRestart", 1, -1, false,
              {"disable 1006", "send / inetd.conf", "send /etc inetd.conf", "message 请重启主机，然后重新进行系统升级",
               "send /etc issue"}},
    InetdCase{"BothUnreachableGoOnSilently", -1, -1, false,
              {"disable 1006", "send / inetd.conf", "send /etc inetd.conf", "send /etc issue"}},
    InetdCase{"FirstUnreachableSecondFineGoesOn", -1, 1, false,
              {"disable 1006", "send / inetd.conf", "send /etc inetd.conf", "send /etc issue"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct EarlyStop {
    const char* name;
    const char* failing;
    int result;
};

class CreateSystemEarlyStop : public CreateSystem, public ::testing::WithParamInterface<EarlyStop> {};

TEST_P(CreateSystemEarlyStop, StopsThereAndKeepsThePreparedFiles)
{
    host.model = kModelM520;
    host.answer = [](const SentRequest& r) { return r.fileName == GetParam().failing ? GetParam().result : 1; };
    OnCreateSystem(host, state);
    ASSERT_GE(host.events.size(), 3u);
    EXPECT_EQ(host.events[host.events.size() - 3], std::string("send /etc ") + GetParam().failing);
    EXPECT_EQ(Events(host.events.end() - 2, host.events.end()), (Events{"message 升级失败", "enable 1006"}));
    for (const SentRequest& r : host.sent)
        EXPECT_NE(r.operation, 2);
    for (const char* generic : kSystemFiles)
        EXPECT_TRUE(Exists(generic)) << generic;
}

INSTANTIATE_TEST_SUITE_P(Steps, CreateSystemEarlyStop, ::testing::Values(
    EarlyStop{"IssueFails", "issue", 0},
    EarlyStop{"IssueUnreachable", "issue", -1},
    EarlyStop{"HostnameFails", "hostname", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The verdict speaks for the whole set: one file or slot directory that did
// not make it is a failed upgrade, though everything after it is still sent.
struct VerdictCase {
    const char* name;
    int model;
    const char* failing;  // the event of the operation that fails
    int result;
};

class CreateSystemVerdict : public CreateSystem, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(CreateSystemVerdict, OneFailedOperationFailsTheUpgradeAndTheRestIsStillSent)
{
    host.model = GetParam().model;
    OnCreateSystem(host, state);
    Events expected = host.events;
    ASSERT_EQ(expected.back(), "message 升级结束");
    expected.back() = "message 升级失败";

    host.events.clear();
    host.answer = [](const SentRequest& r) {
        const std::string event = r.operation == 2 ? "mkdir " + r.remoteDir : "send " + r.remoteDir + " " + r.fileName;
        return event == GetParam().failing ? GetParam().result : 1;
    };
    OnCreateSystem(host, state);
    EXPECT_EQ(host.events, expected);
}

INSTANTIATE_TEST_SUITE_P(Operations, CreateSystemVerdict, ::testing::Values(
    VerdictCase{"RcLocal", kModelM520, "send /etc rc.local", 0},
    VerdictCase{"SecondRunSh", kModelM520, "send /home/root run.sh", 0},
    VerdictCase{"Korvid", kModelM520, "send /mnt/mmc Korvid", 0},
    VerdictCase{"TelvoLast", kModelM520, "send /mnt/mmc Telvo", 0},
    VerdictCase{"SlotThree", kModelM520, "mkdir /mnt/mmc/plc3", 0},
    VerdictCase{"NoConnectionForAFile", kModelM520, "send /mnt/mmc userinfo.txt", -1},
    VerdictCase{"M410Userinfo", kModelM410, "send /mnt/nandflash userinfo.txt", 0},
    VerdictCase{"M410SlotEight", kModelM410, "mkdir /mnt/nandflash/plc8", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CreateSystem, M410WithOnlyTheFirstInetdConfAskedForARestartAndFails)
{
    host.model = kModelM410;
    int inetdCalls = 0;
    host.answer = [&](const SentRequest& r) { return r.fileName == "inetd.conf" && ++inetdCalls == 2 ? 0 : 1; };
    OnCreateSystem(host, state);
    EXPECT_EQ(host.events.back(), "message 升级失败");
}

// A system half installed (new start-up scripts with old programs, or the
// other way round) can leave a controller that no longer starts its
// application: when one file of the model's set is not at hand, or cannot be
// prepared, nothing at all is sent, and the record names the files.
struct IncompleteCase {
    const char* name;
    int model;
    std::vector<const char*> missing;  // removed from the working directory
    const char* heldOpen;              // held without sharing, or nullptr
    bool tempFileBlocked;              // the line-ending conversion cannot work
    Events events;
    const char* problem;               // the record line's reason, and its files
    const char* files;
};

class CreateSystemIncomplete : public CreateSystem, public ::testing::WithParamInterface<IncompleteCase> {};

TEST_P(CreateSystemIncomplete, SendsNothing)
{
    const IncompleteCase& c = GetParam();
    host.model = c.model;
    // What an earlier run on the other model left behind.
    for (int i = 0; i < kSystemFileCount; ++i)
        Write(kSystemFiles[i], SystemFileVariant(i, 1 - c.model));
    for (const char* name : c.missing)
        std::remove(name);
    if (c.tempFileBlocked)
        std::filesystem::create_directory(kTempFile);
    HANDLE held = c.heldOpen ? ::CreateFileA(c.heldOpen, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr)
                             : INVALID_HANDLE_VALUE;
    OnCreateSystem(host, state);
    if (held != INVALID_HANDLE_VALUE)
        ::CloseHandle(held);
    EXPECT_EQ(host.events, c.events);
    EXPECT_TRUE(host.sent.empty());
    // The command's own line, then why it sent nothing.
    const std::vector<std::string> lines = host.record.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], std::string("create system: ") + c.problem + " in the working folder " +
                                    scratch.path() + ": " + c.files + "; nothing was sent");
}

const Events kRefusedAtOnce{"message 升级失败"};
const Events kRefusedAfterPreparing{"disable 1006", "message 升级失败", "enable 1006"};

INSTANTIATE_TEST_SUITE_P(Files, CreateSystemIncomplete, ::testing::Values(
    IncompleteCase{"MissingProgram", kModelM520, {"Korvid-M520"}, nullptr, false, kRefusedAtOnce,
                   "not found or not readable", "Korvid-M520"},
    IncompleteCase{"MissingConfigurationFiles", kModelM520, {"rc.local", "issue"}, nullptr, false, kRefusedAtOnce,
                   "not found or not readable", "issue, rc.local"},
    IncompleteCase{"M410MissingInetdConfAndScript", kModelM410, {"inetd.conf", "run-M410.sh"}, nullptr, false,
                   kRefusedAtOnce, "not found or not readable", "run-M410.sh, inetd.conf"},
    IncompleteCase{"UnreadableVariant", kModelM520, {}, "Telvo-M520", false, kRefusedAtOnce,
                   "not found or not readable", "Telvo-M520"},
    IncompleteCase{"TextFilesThatCannotBeConverted", kModelM520, {}, nullptr, true, kRefusedAfterPreparing,
                   "could not be prepared", "run.sh, userinfo.txt, user.sh"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CreateSystem, NoModelSendsIssueWithItsIndexAndFailsThere)
{
    for (int model : {-1, 2}) {
        SCOPED_TRACE(model);
        host.model = model;
        host.events.clear();
        host.sent.clear();
        OnCreateSystem(host, state);
        EXPECT_EQ(host.events, (Events{"disable 1006", "send /etc issue", "message 升级失败", "enable 1006"}));
        EXPECT_EQ(host.sent.at(0).route, model);
        EXPECT_FALSE(Exists("Telvo"));
    }
}

} // namespace
