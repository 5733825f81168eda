#include "CommandSupport.h"
#include "FileSets.h"
#include "UpgradeCommands.h"
#include "resource.h"

#include <string>

void OnApplyUpgrade(CommandHost& host, CommandState& state)
{
    const int model = host.CpuModelIndex();
    const std::string address = TakeTargetAddress(host, state);
    RecordCommand(host, "Apply upgrade", model, address, state.m_szUpdateFile[0] ? ChosenFilePath(state) : "");
    if (RefuseIfChosenFileIsAmong(host, state, {kShutdownFile}))
        return;

    // The handshake stops the controller's application for the update: it
    // goes only when the update file can follow it.
    if (host.PathBoxText().empty()) {
        host.ShowMessage("请选择需要升级的程序");
        return;
    }
    // The path box only tells whether a file was chosen; what is sent is
    // always Browse's choice.
    const std::string fileName = state.m_szUpdateFile;
    const std::string folder = state.m_szUpdateDir;
    if (!LocalFileExists(folder + "\\" + fileName)) {
        host.ShowMessage("文件不存在");
        return;
    }

    // The update itself does not depend on the handshake, so a handshake
    // file that cannot be written is not reported.
    WriteShutdownFile();
    host.EnableButton(IDC_BTN_APPLY, false);
    const char* root = RemoteRootFor(model);
    host.DispatchRemoteOperation(UploadRequest(model, address.c_str(), root, kShutdownFile));
    const RemoteOutcome outcome =
        host.DispatchRemoteOperation(UploadRequest(model, address.c_str(), root, fileName.c_str(), folder.c_str()));
    ::DeleteFileA(kShutdownFile);
    host.EnableButton(IDC_BTN_APPLY, true);
    host.ShowMessage(outcome.Succeeded() ? "升级结束" : "升级失败");
}
