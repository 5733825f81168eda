#include "CommandSupport.h"
#include "FileSets.h"
#include "UpgradeCommands.h"

void OnRestartHost(CommandHost& host, CommandState& state)
{
    const int model = host.CpuModelIndex();
    const char* address = TakeTargetAddress(host, state);
    const char* root = RemoteRootFor(model);
    if (RefuseIfChosenFileIsAmong(host, state, {kRebootFile}))
        return;

    if (!WriteRebootFile()) {
        host.ShowMessage("重启失败");
        return;
    }
    const int result = host.DispatchRemoteOperation(UploadRequest(model, address, root, kRebootFile));
    ::DeleteFileA(kRebootFile);
    // An unreachable target (-1) has been reported by the dispatcher already.
    if (result == 0)
        host.ShowMessage("重启失败");
}
