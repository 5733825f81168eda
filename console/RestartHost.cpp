#include "CommandSupport.h"
#include "FileSets.h"
#include "UpgradeCommands.h"

#include <string>

void OnRestartHost(CommandHost& host, CommandState& state)
{
    const int model = host.CpuModelIndex();
    const std::string address = TakeTargetAddress(host, state);
    const char* root = RemoteRootFor(model);
    RecordCommand(host, "Restart host", model, address);
    if (RefuseIfChosenFileIsAmong(host, state, {kRebootFile}))
        return;

    if (!WriteRebootFile()) {
        host.ShowMessage("重启失败");
        return;
    }
    const RemoteOutcome outcome = host.DispatchRemoteOperation(UploadRequest(model, address.c_str(), root, kRebootFile));
    ::DeleteFileA(kRebootFile);
    if (outcome.Succeeded())
        host.WatchRestart(address);
    // Silence would read as success: only a target that the dispatcher has
    // already reported as not answering needs no word here.
    if (!outcome.Succeeded() && !outcome.refusedUnreachable)
        host.ShowMessage("重启失败");
}
