#include "CommandSupport.h"
#include "FileSets.h"
#include "RecordText.h"
#include "UpgradeCommands.h"
#include "resource.h"

#include <initializer_list>
#include <string>

namespace {

constexpr const char* kUserinfoFile = "userinfo.txt";

// The address that the working directory's "userinfo.txt" gives the target
// (the reader drops the double quotes around it); "?" when it gives none.
// The reader takes a bare name for one in the Windows folder, hence the full
// path.
std::string AddressInUserinfo()
{
    char value[100] = "";
    ::GetPrivateProfileStringA("LOCAL_MACHINE", "IPAddress", "?", value, sizeof value,
                               FullPath(kUserinfoFile).c_str());
    return value;
}

} // namespace

void OnSetNewIpAddress(CommandHost& host, CommandState& state)
{
    SystemFileSetClaim claim(state);
    if (!claim.Held())
        return;
    const int model = host.CpuModelIndex();
    if (RefuseIfChosenFileIsPrepared(host, state))
        return;

    host.EnableButton(IDC_BTN_SET_IP, false);
    const std::string address = TakeTargetAddress(host, state);
    const std::string newAddress = host.NewAddressText();
    RecordCommand(host, "Set new IP address", model, address);
    host.Record().Write("new address " + Utf8FromSystemText(newAddress));
    const std::string value = "\"" + newAddress + "\"";

    // The generic file and both model variants, so that the next Create
    // system sends the new address too.
    const std::string settingsDir = host.SettingsDirectory();
    for (const char* name : {kUserinfoFile, "userinfo-M410.txt", "userinfo-M520.txt"}) {
        const std::string path = settingsDir + "\\" + name;
        ::WritePrivateProfileStringA("LOCAL_MACHINE", "IPAddress", value.c_str(), path.c_str());
    }

    const char* root = RemoteRootFor(model);
    const PreparedSystemFiles prepared = PrepareSystemFiles(model);
    host.EnableButton(IDC_BTN_SET_IP, true);

    // The file is prepared in the working directory, from the variant there.
    // When the userinfo files could not be written, or the settings live in
    // another folder, it still holds the old address: sending it would be
    // reported as a change that never happens.
    if (!prepared.Ready(kUserinfoFile) || AddressInUserinfo() != newAddress) {
        host.ShowMessage("IP地址更新失败");
        return;
    }
    // Sent to the address the target answers at now; the new one takes
    // effect only after its next restart.
    const RemoteOutcome outcome = host.DispatchRemoteOperation(UploadRequest(model, address.c_str(), root, kUserinfoFile));
    host.ShowMessage(outcome.Succeeded() ? "IP地址更新成功，请重启生效" : "IP地址更新失败");
}
