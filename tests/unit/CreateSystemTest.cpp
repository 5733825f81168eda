#include "FakeCommandHost.h"
#include "FileSets.h"
#include "UpgradeCommands.h"
#include "WorkingDir.h"

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

// A file whose model variant could not be prepared is not sent: under its
// generic name lies nothing, or a copy from an earlier run that may be the
// other model's program.
struct UnpreparedCase {
    const char* name;
    const char* missingVariant;  // removed from the working directory, or "" for none
    bool tempFileBlocked;        // the line-ending conversion cannot work
    Events unsent;
};

class CreateSystemUnprepared : public CreateSystem, public ::testing::WithParamInterface<UnpreparedCase> {};

TEST_P(CreateSystemUnprepared, LeavesTheFileOutAndFails)
{
    host.model = kModelM520;
    // What an earlier run on the other model left behind.
    for (int i = 0; i < kSystemFileCount; ++i)
        Write(kSystemFiles[i], SystemFileVariant(i, kModelM410));
    if (*GetParam().missingVariant)
        std::remove(GetParam().missingVariant);
    if (GetParam().tempFileBlocked)
        std::filesystem::create_directory(kTempFile);

    std::vector<std::string> sentContents;
    host.answer = [&](const SentRequest& r) {
        if (r.operation == 1 && r.remoteDir != "/etc")
            sentContents.push_back(r.fileName + ": " + Read(r.fileName));
        return 1;
    };
    OnCreateSystem(host, state);
    EXPECT_EQ(host.events.back(), "message 升级失败");
    for (const std::string& unsent : GetParam().unsent)
        EXPECT_EQ(std::count(host.events.begin(), host.events.end(), unsent), 0) << unsent;
    for (const std::string& sent : sentContents)
        EXPECT_EQ(sent.find("M410"), std::string::npos) << "the other model's file was sent: " << sent;
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "mkdir /mnt/mmc/plc8"), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, CreateSystemUnprepared, ::testing::Values(
    UnpreparedCase{"MissingProgram", "Korvid-M520", false, {"send /mnt/mmc Korvid"}},
    UnpreparedCase{"MissingVariantOverAStaleCopy", "Telvo-M520", false, {"send /mnt/mmc Telvo"}},
    UnpreparedCase{"MissingScriptForBothPlaces", "run-M520.sh", false,
                   {"send /home/root run.sh", "send /mnt/mmc run.sh"}},
    UnpreparedCase{"TextFilesThatCannotBeConverted", "", true,
                   {"send /home/root run.sh", "send /mnt/mmc run.sh", "send /mnt/mmc user.sh",
                    "send /mnt/mmc userinfo.txt"}}),
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
