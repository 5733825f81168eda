#include "CommandSupport.h"
#include "FileSets.h"
#include "UpgradeCommands.h"
#include "resource.h"

#include <initializer_list>
#include <string>

void OnSetNewIpAddress(CommandHost& host, CommandState& state)
{
    const int model = host.CpuModelIndex();
    if (RefuseIfChosenFileIsPrepared(host, state))
        return;

    host.EnableButton(IDC_BTN_SET_IP, false);
    const char* address = TakeTargetAddress(host, state);
    const std::string value = "\"" + host.NewAddressText() + "\"";

    // The generic file and both model variants, so that the next Create
    // system sends the new address too.
    const std::string settingsDir = host.SettingsDirectory();
    for (const char* name : {"userinfo.txt", "userinfo-M410.txt", "userinfo-M520.txt"}) {
        const std::string path = settingsDir + "\\" + name;
        ::WritePrivateProfileStringA("LOCAL_MACHINE", "IPAddress", value.c_str(), path.c_str());
    }

    const char* root = RemoteRootFor(model);
    PrepareSystemFiles(model);
    host.EnableButton(IDC_BTN_SET_IP, true);

    // Sent to the address the target answers at now; the new one takes
    // effect only after its next restart.
    const int result = host.DispatchRemoteOperation(UploadRequest(model, address, root, "userinfo.txt"));
    host.ShowMessage(result > 0 ? "IP地址更新成功，请重启生效" : "IP地址更新失败");
}
