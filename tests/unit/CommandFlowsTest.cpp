#include "FakeCommandHost.h"
#include "FileSets.h"
#include "UpgradeCommands.h"
#include "WorkingDir.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;

class Commands : public InScratchWorkingDir {
protected:
    // An update file in a folder of its own, chosen as Browse would.
    void ChooseUpdateFile(const std::string& name = "update.rom")
    {
        std::filesystem::create_directory("chosen");
        Write("chosen\\" + name, "firmware");
        Choose(scratch.file("chosen"), name);
    }
    void Choose(const std::string& folder, const std::string& name)
    {
        std::snprintf(state.m_szUpdateDir, MAX_PATH, "%s", folder.c_str());
        std::snprintf(state.m_szUpdateFile, MAX_PATH, "%s", name.c_str());
        host.pathBox = folder + "\\" + name;
    }
    FakeCommandHost host;
    CommandState state;
};

// ---- Apply upgrade ----

// The handshake stops the controller's application: without an update file
// to follow it, it is neither written nor sent.
TEST_F(Commands, ApplyUpgradeWithoutAFileToSendSendsNoHandshake)
{
    struct Case {
        const char* name;
        bool chosen;
        const char* message;
    };
    for (const Case& c : {Case{"empty path box", false, "请选择需要升级的程序"},
                          Case{"chosen file gone", true, "文件不存在"}}) {
        SCOPED_TRACE(c.name);
        host.events.clear();
        if (c.chosen)
            Choose(scratch.file("nowhere"), "update.rom");
        OnApplyUpgrade(host, state);
        EXPECT_EQ(host.events, (Events{std::string("message ") + c.message}));
        EXPECT_TRUE(host.sent.empty());
        EXPECT_FALSE(Exists("shutdown.txt"));
    }
}

struct ApplyCase {
    const char* name;
    int model;
    int result;
    const char* root;
    const char* verdict;
};

class ApplyUpgrade : public Commands, public ::testing::WithParamInterface<ApplyCase> {};

TEST_P(ApplyUpgrade, SendsHandshakeThenTheChosenFile)
{
    ChooseUpdateFile();
    host.model = GetParam().model;
    host.answer = [](const SentRequest& r) { return r.fileName == "update.rom" ? GetParam().result : 1; };
    OnApplyUpgrade(host, state);
    const std::string root = GetParam().root;
    EXPECT_EQ(host.events, (Events{"disable 1000", "send " + root + " shutdown.txt", "send " + root + " update.rom",
                                   "enable 1000", std::string("message ") + GetParam().verdict}));
    const SentRequest& update = host.sent.at(1);
    EXPECT_EQ(update.localDir, scratch.file("chosen"));
    EXPECT_EQ(update.route, GetParam().model);
    EXPECT_EQ(update.operation, 1);
    EXPECT_FALSE(Exists("shutdown.txt"));
    EXPECT_EQ(Read("chosen\\update.rom"), "firmware");
}

INSTANTIATE_TEST_SUITE_P(Results, ApplyUpgrade, ::testing::Values(
    ApplyCase{"M520Success", kModelM520, 1, "/mnt/mmc", "升级结束"},
    ApplyCase{"M410Failure", kModelM410, 0, "/mnt/nandflash", "升级失败"},
    ApplyCase{"Unreachable", kModelM520, -1, "/mnt/mmc", "升级失败"},
    ApplyCase{"NoModel", -1, 0, "", "升级失败"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Commands, ApplyUpgradeSendsBrowsesChoiceNotThePathBoxText)
{
    ChooseUpdateFile();
    host.pathBox = "C:\\something\\typed.rom";
    OnApplyUpgrade(host, state);
    EXPECT_EQ(host.sent.at(1).fileName, "update.rom");
}

// ---- Upgrade PLC n ----

struct PlcCase {
    int button;
    int slot;
};

class UpgradePlc : public Commands, public ::testing::WithParamInterface<PlcCase> {};

TEST_P(UpgradePlc, ButtonMapsToItsSlotAndOnlyItIsDisabledDuringTheSend)
{
    const int button = GetParam().button;
    const int slot = GetParam().slot;
    ASSERT_EQ(PlcSlotForButton(button), slot);
    ASSERT_EQ(PlcButtonForSlot(slot), button);
    ChooseUpdateFile();
    const std::string dir = "/mnt/mmc/plc" + std::to_string(slot);
    OnUpgradePlc(host, state, slot);
    EXPECT_EQ(host.events, (Events{"disable " + std::to_string(button), "send " + dir + " update.rom",
                                   "enable " + std::to_string(button), "message 升级结束"}));
    EXPECT_EQ(host.sent.at(0).localDir, scratch.file("chosen"));

    host.events.clear();
    host.model = kModelM410;
    host.answer = [](const SentRequest&) { return 0; };
    OnUpgradePlc(host, state, slot);
    EXPECT_EQ(host.events.at(1), "send /mnt/nandflash/plc" + std::to_string(slot) + " update.rom");
    EXPECT_EQ(host.events.back(), "message 升级失败");
}

INSTANTIATE_TEST_SUITE_P(Buttons, UpgradePlc, ::testing::Values(
    PlcCase{1010, 1}, PlcCase{1014, 2}, PlcCase{1011, 3}, PlcCase{1012, 4},
    PlcCase{1013, 5}, PlcCase{1009, 6}, PlcCase{1015, 7}, PlcCase{1016, 8}));

TEST_F(Commands, UpgradePlcStopsBeforeTouchingAnyButton)
{
    OnUpgradePlc(host, state, 3);
    EXPECT_EQ(host.events, (Events{"message 请选择需要升级的程序"}));

    host.events.clear();
    Choose(scratch.file("nowhere"), "update.rom");
    OnUpgradePlc(host, state, 3);
    EXPECT_EQ(host.events, (Events{"message 文件不存在"}));
    EXPECT_EQ(PlcSlotForButton(1000), 0);
}

TEST_F(Commands, UpgradePlcWithoutModelSendsToAnEmptyDirectory)
{
    ChooseUpdateFile();
    host.model = 2;
    OnUpgradePlc(host, state, 6);
    EXPECT_EQ(host.sent.at(0).remoteDir, "");
    EXPECT_EQ(host.events.back(), "message 升级失败");
}

// ---- Restart host ----

struct RestartCase {
    const char* name;
    int result;
    Events expected;
};

class RestartHost : public Commands, public ::testing::WithParamInterface<RestartCase> {};

TEST_P(RestartHost, ReportsOnlyAPlainFailure)
{
    std::string sentContent;
    // -2 stands for the route's own -1: no connection, and nothing shown.
    host.minusOneIsRefusal = GetParam().result != -2;
    host.answer = [&](const SentRequest& r) {
        sentContent = Read(r.fileName);
        return GetParam().result == -2 ? -1 : GetParam().result;
    };
    OnRestartHost(host, state);
    EXPECT_EQ(host.events, GetParam().expected);
    EXPECT_EQ(sentContent, "123");
    EXPECT_FALSE(Exists("reboot.txt"));
}

INSTANTIATE_TEST_SUITE_P(Results, RestartHost, ::testing::Values(
    RestartCase{"Failure", 0, {"send /mnt/mmc reboot.txt", "message 重启失败"}},
    RestartCase{"Unreachable", -1, {"send /mnt/mmc reboot.txt"}},
    RestartCase{"NoConnection", -2, {"send /mnt/mmc reboot.txt", "message 重启失败"}},
    RestartCase{"Success", 1, {"send /mnt/mmc reboot.txt", "watch restart 10.1.2.3"}},
    RestartCase{"OtherPositive", 7, {"send /mnt/mmc reboot.txt", "watch restart 10.1.2.3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Commands, RestartHostThatCannotWriteItsFileSendsNothing)
{
    std::filesystem::create_directory("reboot.txt");
    OnRestartHost(host, state);
    EXPECT_EQ(host.events, (Events{"message 重启失败"}));
}

TEST_F(Commands, EachCommandRecordsWhatItRead)
{
    ChooseUpdateFile();
    const std::string file = ", file " + scratch.file("chosen\\update.rom");
    OnUpgradePlc(host, state, 3);
    host.model = 0;
    host.targetAddress = "10.1.2.4";
    OnApplyUpgrade(host, state);
    host.model = -1;
    OnRestartHost(host, state);
    host.pathBox.clear();
    OnUpgradePlc(host, state, 8);
    EXPECT_EQ(host.record.Lines(), (Events{
        "command Upgrade PLC 3#: target 10.1.2.3, model CPU-M520" + file,
        "command Apply upgrade: target 10.1.2.4, model CPU-M410" + file,
        "command Restart host: target 10.1.2.4, model none",
        "command Upgrade PLC 8#: no file chosen",
    }));
}

// ---- Set new IP address ----

class SetNewIpAddress : public Commands {
protected:
    ScratchDir settings;
};

// A controller's own userinfo file: the address and the rest of its settings.
const char* const kControllerUserinfo =
    "[LOCAL_MACHINE]\r\nIPAddress=\"10.0.0.1\"\r\nNetMask=\"255.255.255.0\"\r\n";

TEST_F(SetNewIpAddress, WritesThreeFilesAndSendsToTheCurrentAddressWithTheButtonBackOn)
{
    // The program's folder is both its working and its settings folder.
    host.settingsDir = scratch.path();
    Write("userinfo-M520.txt", "[PLC]\r\nSlots=8\r\n[LOCAL_MACHINE]\r\nIPAddress=\"10.0.0.1\"\r\n");
    OnSetNewIpAddress(host, state);
    host.newAddress = "10.9.8.6";
    OnSetNewIpAddress(host, state);

    for (const char* name : {"userinfo.txt", "userinfo-M410.txt", "userinfo-M520.txt"}) {
        char value[64] = "";
        ::GetPrivateProfileStringA("LOCAL_MACHINE", "IPAddress", "", value, sizeof value,
                                   scratch.file(name).c_str());
        EXPECT_STREQ(value, "10.9.8.6") << name;
        const std::string text = Read(name);
        EXPECT_NE(text.find("IPAddress=\"10.9.8.6\""), std::string::npos) << text;
        EXPECT_EQ(text.find("IPAddress"), text.rfind("IPAddress")) << text;
    }
    EXPECT_NE(Read("userinfo-M520.txt").find("Slots=8"), std::string::npos);

    const Events once{"disable 1020", "enable 1020", "send /mnt/mmc userinfo.txt",
                      "message IP地址更新成功，请重启生效"};
    Events twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(host.events, twice);
    EXPECT_EQ(host.sent.at(0).targetAddress, "10.1.2.3");
    EXPECT_EQ(host.sent.at(0).localDir, "");
    EXPECT_EQ(host.sent.at(0).authPreference, 4);
}

TEST_F(SetNewIpAddress, SentFileCarriesTheNewAddressWhenSettingsAndWorkingDirectoryAgree)
{
    host.settingsDir = scratch.path();
    host.model = kModelM410;
    Write("userinfo-M410.txt", kControllerUserinfo);
    std::string sent;
    host.answer = [&](const SentRequest& r) { sent = Read(r.fileName); return 1; };
    OnSetNewIpAddress(host, state);
    EXPECT_NE(sent.find("IPAddress=\"10.9.8.7\""), std::string::npos) << sent;
    EXPECT_EQ(sent.find('\r'), std::string::npos);
    EXPECT_EQ(host.sent.at(0).remoteDir, "/mnt/nandflash");
}

// The file that would go out is prepared in the working directory: when the
// new address did not get into it, nothing is sent and the change fails.
TEST_F(SetNewIpAddress, FileWithoutTheNewAddressIsNotSent)
{
    struct Case {
        const char* name;
        bool settingsElsewhere;
        bool variantUnreadable;
    };
    for (const Case& c : {Case{"settings in another folder", true, false},
                          Case{"variant that cannot be copied", false, true}}) {
        SCOPED_TRACE(c.name);
        host.events.clear();
        host.sent.clear();
        host.settingsDir = c.settingsElsewhere ? settings.path() : scratch.path();
        Write("userinfo-M520.txt", kControllerUserinfo);
        std::filesystem::remove("userinfo.txt");
        // Held open without sharing, the variant cannot be read.
        HANDLE held = c.variantUnreadable ? ::CreateFileA("userinfo-M520.txt", GENERIC_READ, 0, nullptr,
                                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                          : INVALID_HANDLE_VALUE;
        OnSetNewIpAddress(host, state);
        if (held != INVALID_HANDLE_VALUE)
            ::CloseHandle(held);
        EXPECT_EQ(host.events, (Events{"disable 1020", "enable 1020", "message IP地址更新失败"}));
        EXPECT_TRUE(host.sent.empty());
    }
}

TEST_F(SetNewIpAddress, FailureOrNoModelShowsTheFailureMessage)
{
    host.settingsDir = scratch.path();
    Write("userinfo-M520.txt", kControllerUserinfo);
    for (int model : {-1, 2, 1}) {
        SCOPED_TRACE(model);
        host.model = model;
        host.events.clear();
        if (model == 1)
            host.answer = [](const SentRequest&) { return -1; };
        OnSetNewIpAddress(host, state);
        EXPECT_EQ(host.events.back(), "message IP地址更新失败");
        EXPECT_EQ(host.sent.size(), model == 1 ? 1u : 0u);
        host.sent.clear();
        EXPECT_NE(Read("userinfo.txt").find("10.9.8.7"), std::string::npos);
    }
}

// Where the model's userinfo file is missing, the address write makes one
// that holds the address alone; sent, it would leave the controller without
// its other settings after the restart. Neither the first click nor a second
// one sends it, while the writes in the settings folder still happen.
TEST_F(SetNewIpAddress, MissingUserinfoVariantSendsNothing)
{
    host.settingsDir = scratch.path();
    const std::string where = "set new IP address: userinfo-M520.txt in the working folder " + scratch.path();
    for (const char* problem : {" is missing;", " holds nothing but an IP address"}) {
        SCOPED_TRACE(problem);
        host.events.clear();
        const size_t earlier = host.record.Lines().size();
        OnSetNewIpAddress(host, state);
        EXPECT_EQ(host.events, (Events{"disable 1020", "enable 1020", "message IP地址更新失败"}));
        EXPECT_TRUE(host.sent.empty());
        // The command's own two lines (the command, the new address), then
        // why it sent nothing.
        const std::vector<std::string> lines = host.record.Lines();
        ASSERT_EQ(lines.size(), earlier + 3);
        EXPECT_EQ(lines.back().rfind(where + problem, 0), 0u) << lines.back();
        for (const char* name : {"userinfo.txt", "userinfo-M410.txt", "userinfo-M520.txt"})
            EXPECT_NE(Read(name).find("IPAddress=\"10.9.8.7\""), std::string::npos) << name;
    }
}

// ---- Browse ----

TEST_F(Commands, BrowseStoresTheChoiceAndShowsItsPath)
{
    host.dialogConfirms = true;
    host.dialogChoice = {"fw.rom", "D:\\升级", "D:\\升级\\fw.rom"};
    OnBrowse(host, state);
    EXPECT_STREQ(state.m_szUpdateFile, "fw.rom");
    EXPECT_STREQ(state.m_szUpdateDir, "D:\\升级");
    EXPECT_EQ(host.pathBox, "D:\\升级\\fw.rom");
    EXPECT_EQ(host.statusText, "D:\\升级\\fw.rom");
    EXPECT_STREQ(host.dialogOptions.initialFileName, "update.rom");
    EXPECT_STREQ(host.dialogOptions.filter, "文件 (*.*; *.txt; *.rom)|*.rom;*.*;*.txt||");
}

TEST_F(Commands, CancelledBrowseLeavesTheDefaultChoiceAndEmptiesThePath)
{
    Choose("D:\\old", "old.rom");
    OnBrowse(host, state);
    EXPECT_STREQ(state.m_szUpdateFile, "update.rom");
    EXPECT_STREQ(state.m_szUpdateDir, "\\update.rom");
    EXPECT_EQ(host.pathBox, "");
    EXPECT_EQ(host.statusText, "");
}

TEST_F(Commands, BrowseRefusesAChoiceTooLongForItsBuffersAndKeepsThePreviousOne)
{
    const std::string longFolder = "D:\\" + std::string(250, 'd');
    const std::string longName = std::string(260, 'n');
    for (const FileChoice& choice : {FileChoice{"fw.rom", longFolder, longFolder + "\\fw.rom"},
                                     FileChoice{longName, "D:", "D:\\" + longName},
                                     FileChoice{std::string(10, 'n'), longFolder, longFolder + "\\nnnnnnnnnn"}}) {
        Choose("D:\\old", "old.rom");
        host.events.clear();
        host.dialogConfirms = true;
        host.dialogChoice = choice;
        OnBrowse(host, state);
        ASSERT_EQ(host.events.size(), 1u);
        EXPECT_EQ(host.events[0].rfind("message ", 0), 0u);
        EXPECT_STREQ(state.m_szUpdateFile, "old.rom");
        EXPECT_STREQ(state.m_szUpdateDir, "D:\\old");
        EXPECT_EQ(host.pathBox, "D:\\old\\old.rom");
    }
    // 259 bytes in all still fits.
    host.dialogChoice = FileChoice{std::string(252, 'n'), "D:\\abc", ""};
    OnBrowse(host, state);
    EXPECT_EQ(std::string(state.m_szUpdateFile), std::string(252, 'n'));
}

TEST_F(Commands, BrowseKeepsTheWorkingDirectoryWhereItWas)
{
    std::filesystem::create_directory("elsewhere");
    host.duringDialog = [] { ::SetCurrentDirectoryA("elsewhere"); };
    host.dialogConfirms = true;
    host.dialogChoice = {"fw.rom", scratch.file("elsewhere"), scratch.file("elsewhere\\fw.rom")};
    const std::string before = std::filesystem::current_path().string();
    OnBrowse(host, state);
    EXPECT_EQ(std::filesystem::current_path().string(), before);
}

// ---- The chosen file is never one of the commands' own working files ----

struct GuardCase {
    const char* name;
    void (*command)(CommandHost&, CommandState&);
    const char* workingFile;
};

class ChosenWorkingFile : public Commands, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(ChosenWorkingFile, IsRefusedBeforeAnythingIsWrittenOrSent)
{
    Write(GetParam().workingFile, "engineer's own");
    Choose(scratch.path(), GetParam().workingFile);
    host.settingsDir = scratch.path();
    GetParam().command(host, state);
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_NE(host.events[0].find(GetParam().workingFile), std::string::npos);
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(Read(GetParam().workingFile), "engineer's own");
}

INSTANTIATE_TEST_SUITE_P(Commands, ChosenWorkingFile, ::testing::Values(
    GuardCase{"ApplyShutdown", OnApplyUpgrade, "shutdown.txt"},
    GuardCase{"RestartReboot", OnRestartHost, "reboot.txt"},
    GuardCase{"CreateKorvid", OnCreateSystem, "Korvid"},
    GuardCase{"CreateTelvo", OnCreateSystem, "Telvo"},
    GuardCase{"CreateTemp", OnCreateSystem, "tmp.txt"},
    GuardCase{"SetIpUserinfo", OnSetNewIpAddress, "userinfo.txt"},
    GuardCase{"SetIpRunScript", OnSetNewIpAddress, "run.sh"},
    GuardCase{"SetIpM410Userinfo", OnSetNewIpAddress, "userinfo-M410.txt"},
    GuardCase{"SetIpM520Userinfo", OnSetNewIpAddress, "userinfo-M520.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

// Set new IP address writes its userinfo files in the settings folder, which
// may be another folder than the working one: a chosen file in either is
// refused.
TEST_F(Commands, ChosenUserinfoFileIsRefusedInTheSettingsFolderToo)
{
    ScratchDir settings;
    host.settingsDir = settings.path();
    for (const std::string& folder : {settings.path(), scratch.path()}) {
        for (const char* name : {"userinfo.txt", "userinfo-M410.txt", "userinfo-M520.txt"}) {
            SCOPED_TRACE(folder + "\\" + name);
            host.events.clear();
            Write(folder + "\\" + name, "engineer's own");
            Choose(folder, name);
            OnSetNewIpAddress(host, state);
            ASSERT_EQ(host.events.size(), 1u);
            EXPECT_NE(host.events[0].find(name), std::string::npos);
            EXPECT_TRUE(host.sent.empty());
            EXPECT_EQ(Read(folder + "\\" + name), "engineer's own");
        }
    }
}

TEST_F(Commands, ChosenWorkingFileIsRecognisedWhateverTheLetterCaseOrSpelling)
{
    Write("Korvid", "engineer's own");
    Choose(scratch.path() + "\\.\\", "KORVID");
    OnCreateSystem(host, state);
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(Read("Korvid"), "engineer's own");
}

TEST_F(Commands, AnUpdateFileElsewhereWithAWorkingFileNameIsFine)
{
    ChooseUpdateFile("shutdown.txt");
    OnApplyUpgrade(host, state);
    EXPECT_EQ(host.events.back(), "message 升级结束");
    EXPECT_EQ(Read("chosen\\shutdown.txt"), "firmware");
}

} // namespace
