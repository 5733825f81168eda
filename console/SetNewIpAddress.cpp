#include "CommandSupport.h"
#include "FileSets.h"
#include "TextCodePages.h"
#include "UpgradeCommands.h"
#include "resource.h"

#include <cstring>
#include <initializer_list>
#include <string>

namespace {

constexpr const char* kUserinfoFile = "userinfo.txt";
// The files the command writes the new address into, in the settings folder.
constexpr const char* kUserinfoFiles[] = {kUserinfoFile, "userinfo-M410.txt", "userinfo-M520.txt"};

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

// Whether a list of names from the private-profile reader (each ended by a
// NUL, the list by a second one) holds a name other than `known`.
bool HoldsOtherThan(const char* names, DWORD length, const char* known)
{
    for (const char* name = names; name < names + length && *name; name += std::strlen(name) + 1) {
        if (::lstrcmpiA(name, known) != 0)
            return true;
    }
    return false;
}

// What a model's userinfo file in the working folder is, before the command
// writes the new address into it.
enum class UserinfoVariant { Missing, Unreadable, AddressOnly, Complete };

// The controller's own file carries its other settings (net mask, gateway,
// the PLC section) besides the address; what the private-profile write makes
// where there was no file holds the address alone.
UserinfoVariant Inspect(const char* variant)
{
    const std::string path = FullPath(variant);
    if (!LocalFileExists(path))
        return UserinfoVariant::Missing;
    if (!LocalFileReadable(path))
        return UserinfoVariant::Unreadable;
    char names[4096];
    const DWORD sections = ::GetPrivateProfileSectionNamesA(names, sizeof names, path.c_str());
    if (HoldsOtherThan(names, sections, "LOCAL_MACHINE"))
        return UserinfoVariant::Complete;
    const DWORD keys = ::GetPrivateProfileStringA("LOCAL_MACHINE", nullptr, "", names, sizeof names, path.c_str());
    return HoldsOtherThan(names, keys, "IPAddress") ? UserinfoVariant::Complete : UserinfoVariant::AddressOnly;
}

// Every userinfo file the command writes, in the settings folder and in the
// working folder (where "userinfo.txt" is prepared).
bool RefuseIfChosenFileIsAUserinfoFile(CommandHost& host, const CommandState& state, const std::string& settingsDir)
{
    for (const char* name : kUserinfoFiles) {
        if (RefuseIfChosenFileIs(host, state, name, name) ||
            RefuseIfChosenFileIs(host, state, settingsDir + "\\" + name, name))
            return true;
    }
    return false;
}

} // namespace

void OnSetNewIpAddress(CommandHost& host, CommandState& state)
{
    SystemFileSetClaim claim(state);
    if (!claim.Held())
        return;
    const int model = host.CpuModelIndex();
    const std::string settingsDir = host.SettingsDirectory();
    if (RefuseIfChosenFileIsPrepared(host, state) || RefuseIfChosenFileIsAUserinfoFile(host, state, settingsDir))
        return;

    host.EnableButton(IDC_BTN_SET_IP, false);
    const std::string address = TakeTargetAddress(host, state);
    const std::string newAddress = host.NewAddressText();
    RecordCommand(host, "Set new IP address", model, address);
    host.Record().Write("new address " + Utf8FromSystemText(newAddress));
    const std::string value = "\"" + newAddress + "\"";
    // Looked at before the address is written: the write makes a missing
    // file, holding the address alone.
    const char* variant = SystemFileVariantOf(kUserinfoFile, model);
    const UserinfoVariant before = variant ? Inspect(variant) : UserinfoVariant::Missing;

    // The generic file and both model variants, so that the next Create
    // system sends the new address too.
    for (const char* name : kUserinfoFiles) {
        const std::string path = settingsDir + "\\" + name;
        ::WritePrivateProfileStringA("LOCAL_MACHINE", "IPAddress", value.c_str(), path.c_str());
    }

    const char* root = RemoteRootFor(model);
    const PreparedSystemFiles prepared = PrepareSystemFiles(model);
    host.EnableButton(IDC_BTN_SET_IP, true);

    // A controller given a userinfo.txt that holds only the address comes up
    // after its restart without its net mask, gateway and PLC settings.
    if (variant && before != UserinfoVariant::Complete) {
        const char* problem = before == UserinfoVariant::Missing      ? " is missing"
                              : before == UserinfoVariant::Unreadable ? " cannot be read"
                                                                      : " holds nothing but an IP address (it was made "
                                                                        "where the file was missing)";
        host.Record().Write("set new IP address: " + std::string(variant) + " in the working folder " +
                        Utf8FromSystemText(FullPath(".")) + problem +
                        "; userinfo.txt goes only from the controller's own file, so nothing was sent");
        host.ShowMessage("IP地址更新失败");
        return;
    }
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
