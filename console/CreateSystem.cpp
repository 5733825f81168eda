#include "CommandSupport.h"
#include "FileSets.h"
#include "TextCodePages.h"
#include "UpgradeCommands.h"
#include "resource.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

// One run of Create system: its model, its own copy of the target address,
// the files its preparation made ready, and whether everything so far has
// reached the target.
class SystemInstall {
public:
    SystemInstall(CommandHost& host, int model, std::string address, PreparedSystemFiles prepared)
        : m_host(host), m_model(model), m_address(std::move(address)), m_prepared(prepared)
    {
    }

    // Sends `fileName` to `remoteDir`. A file of the system set that the
    // preparation could not make ready is not sent: what lies under its name
    // is nothing or a stale copy, perhaps of the other model's program.
    RemoteOutcome Send(const char* remoteDir, const char* fileName)
    {
        if (IsSystemFile(fileName) && !m_prepared.Ready(fileName)) {
            m_complete = false;
            return RemoteOutcome{};
        }
        return Count(m_host.DispatchRemoteOperation(UploadRequest(m_model, m_address.c_str(), remoteDir, fileName)));
    }

    RemoteOutcome EnsureDirectory(const char* remoteDir)
    {
        return Count(m_host.DispatchRemoteOperation(EnsureDirectoryRequest(m_model, m_address.c_str(), remoteDir)));
    }

    // Every file reached the target and every slot directory exists.
    bool Complete() const { return m_complete; }

private:
    // The result counts towards the verdict whether or not the command
    // looks at it.
    RemoteOutcome Count(RemoteOutcome outcome)
    {
        if (!outcome.Succeeded())
            m_complete = false;
        return outcome;
    }

    CommandHost& m_host;
    int m_model;
    std::string m_address;
    PreparedSystemFiles m_prepared;
    bool m_complete = true;
};

// The M410 keeps its service table both in "/" and in "/etc". Returns false
// when the command has to stop.
bool SendInetdConf(CommandHost& host, SystemInstall& install)
{
    const int first = install.Send("/", "inetd.conf").result;
    int second = 0;
    if (first != 0)
        second = install.Send("/etc", "inetd.conf").result;
    // Only the first copy arrived: the target has to be restarted before a
    // second run can complete, but the rest of the set is still worth sending.
    if (first > 0 && second <= 0)
        host.ShowMessage("请重启主机，然后重新进行系统升级");
    return !(first == 0 && second == 0);
}

// The names of `files` joined by ", ", or "" for none.
std::string Listed(const std::vector<std::string>& files)
{
    std::string list;
    for (const std::string& name : files)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

// Why nothing was sent, for the session record: the failure message alone
// does not say which file the engineer has to put back.
void RecordNothingSent(CommandHost& host, const char* problem, const std::vector<std::string>& files)
{
    host.Record().Write(std::string("create system: ") + problem + " in the working folder " +
                    Utf8FromSystemText(FullPath(".")) + ": " + Listed(files) + "; nothing was sent");
}

bool SendOrStop(CommandHost& host, SystemInstall& install, const char* fileName)
{
    if (install.Send("/etc", fileName).Succeeded())
        return true;
    host.ShowMessage("升级失败");
    host.EnableButton(IDC_BTN_CREATE, true);
    return false;
}

} // namespace

void OnCreateSystem(CommandHost& host, CommandState& state)
{
    SystemFileSetClaim claim(state);
    if (!claim.Held())
        return;
    const int model = host.CpuModelIndex();
    std::string address = TakeTargetAddress(host, state);
    RecordCommand(host, "Create system", model, address);
    if (RefuseIfChosenFileIsPrepared(host, state))
        return;

    // New start-up scripts with old programs, or the other way round, can
    // leave a controller that no longer starts its application or offers
    // FTP: the whole set must be at hand before the first file goes.
    const std::vector<const char*> localSet = LocalSystemSet(model);
    std::vector<std::string> missing;
    for (const char* name : localSet) {
        if (!LocalFileReadable(name))
            missing.push_back(name);
    }
    if (!missing.empty()) {
        RecordNothingSent(host, "not found or not readable", missing);
        host.ShowMessage("升级失败");
        return;
    }

    host.EnableButton(IDC_BTN_CREATE, false);
    const PreparedSystemFiles prepared = PrepareSystemFiles(model);
    // With no model chosen nothing is prepared and nothing of the set is
    // sent: the command goes on to fail at its first file, as it always has.
    std::vector<std::string> unprepared;
    for (const char* name : kSystemFiles) {
        if (!localSet.empty() && !prepared.Ready(name))
            unprepared.push_back(name);
    }
    if (!unprepared.empty()) {
        RecordNothingSent(host, "could not be prepared", unprepared);
        host.ShowMessage("升级失败");
        host.EnableButton(IDC_BTN_CREATE, true);
        return;
    }
    SystemInstall install(host, model, std::move(address), prepared);

    if (model == kModelM410 && !SendInetdConf(host, install)) {
        host.ShowMessage("升级失败");
        host.EnableButton(IDC_BTN_CREATE, true);
        return;
    }
    if (model == kModelM520) {
        install.Send("/etc", "rc.local");
        install.Send("/home/root", "run.sh");
    }
    if (!SendOrStop(host, install, "issue") || !SendOrStop(host, install, "hostname"))
        return;

    // One file that fails does not keep the others from being sent.
    const char* root = RemoteRootFor(model);
    for (const char* fileName : {"userinfo.txt", "user.sh", "run.sh", "test_isa", "scan", "Korvid", "Telvo"})
        install.Send(root, fileName);

    for (int slot = 1; slot <= 8; ++slot) {
        char slotDir[MAX_PATH];
        std::snprintf(slotDir, sizeof slotDir, "%s/plc%d", root, slot);
        install.EnsureDirectory(slotDir);
    }

    for (const char* fileName : {"Korvid", "run.sh", "scan", "Telvo", "test_isa"})
        ::DeleteFileA(fileName);
    host.EnableButton(IDC_BTN_CREATE, true);
    host.ShowMessage(install.Complete() ? "升级结束" : "升级失败");
}
