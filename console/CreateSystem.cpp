#include "CommandSupport.h"
#include "FileSets.h"
#include "UpgradeCommands.h"
#include "resource.h"

#include <cstdio>
#include <initializer_list>

namespace {

// The M410 keeps its service table both in "/" and in "/etc". Returns false
// when the command has to stop.
bool SendInetdConf(CommandHost& host, int model, const char* address)
{
    const int first = host.DispatchRemoteOperation(UploadRequest(model, address, "/", "inetd.conf"));
    int second = 0;
    if (first != 0)
        second = host.DispatchRemoteOperation(UploadRequest(model, address, "/etc", "inetd.conf"));
    // Only the first copy arrived: the target has to be restarted before a
    // second run can complete, but the rest of the set is still worth sending.
    if (first > 0 && second <= 0)
        host.ShowMessage("请重启主机，然后重新进行系统升级");
    return !(first == 0 && second == 0);
}

bool SendOrStop(CommandHost& host, int model, const char* address, const char* fileName)
{
    if (host.DispatchRemoteOperation(UploadRequest(model, address, "/etc", fileName)) > 0)
        return true;
    host.ShowMessage("升级失败");
    host.EnableButton(IDC_BTN_CREATE, true);
    return false;
}

} // namespace

void OnCreateSystem(CommandHost& host, CommandState& state)
{
    const int model = host.CpuModelIndex();
    const char* address = TakeTargetAddress(host, state);
    if (RefuseIfChosenFileIsPrepared(host, state))
        return;

    host.EnableButton(IDC_BTN_CREATE, false);
    PrepareSystemFiles(model);

    if (model == kModelM410 && !SendInetdConf(host, model, address)) {
        host.ShowMessage("升级失败");
        host.EnableButton(IDC_BTN_CREATE, true);
        return;
    }
    if (model == kModelM520) {
        host.DispatchRemoteOperation(UploadRequest(model, address, "/etc", "rc.local"));
        host.DispatchRemoteOperation(UploadRequest(model, address, "/home/root", "run.sh"));
    }
    if (!SendOrStop(host, model, address, "issue") || !SendOrStop(host, model, address, "hostname"))
        return;

    const char* root = RemoteRootFor(model);
    for (const char* fileName : {"userinfo.txt", "user.sh", "run.sh", "test_isa", "scan", "Korvid", "Telvo"})
        host.DispatchRemoteOperation(UploadRequest(model, address, root, fileName));

    int result = 0;
    for (int slot = 1; slot <= 8; ++slot) {
        char slotDir[MAX_PATH];
        std::snprintf(slotDir, sizeof slotDir, "%s/plc%d", root, slot);
        result = host.DispatchRemoteOperation(EnsureDirectoryRequest(model, address, slotDir));
    }

    for (const char* fileName : {"Korvid", "run.sh", "scan", "Telvo", "test_isa"})
        ::DeleteFileA(fileName);
    host.EnableButton(IDC_BTN_CREATE, true);
    host.ShowMessage(result > 0 ? "升级结束" : "升级失败");
}
