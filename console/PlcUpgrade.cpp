#include "CommandSupport.h"
#include "FileSets.h"
#include "UpgradeCommands.h"
#include "resource.h"

#include <cstdio>
#include <string>

namespace {

// Button of slot n at index n - 1; the ids follow the dialog's layout, not
// the slot numbers.
constexpr int kPlcButtons[8] = {IDC_BTN_PLC1, IDC_BTN_PLC2, IDC_BTN_PLC3, IDC_BTN_PLC4,
                                IDC_BTN_PLC5, IDC_BTN_PLC6, IDC_BTN_PLC7, IDC_BTN_PLC8};

} // namespace

int PlcSlotForButton(int controlId)
{
    for (int slot = 1; slot <= 8; ++slot) {
        if (kPlcButtons[slot - 1] == controlId)
            return slot;
    }
    return 0;
}

int PlcButtonForSlot(int slot) { return slot >= 1 && slot <= 8 ? kPlcButtons[slot - 1] : 0; }

void OnUpgradePlc(CommandHost& host, CommandState& state, int slot)
{
    const int button = PlcButtonForSlot(slot);
    if (button == 0)
        return;
    const int model = host.CpuModelIndex();
    const std::string name = "Upgrade PLC " + std::to_string(slot) + "#";
    if (host.PathBoxText().empty()) {
        host.Record().Write("command " + name + ": no file chosen");
        host.ShowMessage("请选择需要升级的程序");
        return;
    }
    const std::string address = TakeTargetAddress(host, state);
    RecordCommand(host, name.c_str(), model, address, ChosenFilePath(state));
    const std::string fileName = state.m_szUpdateFile;
    const std::string folder = state.m_szUpdateDir;
    if (!LocalFileExists(folder + "\\" + fileName)) {
        host.ShowMessage("文件不存在");
        return;
    }
    char slotDir[MAX_PATH] = "";
    if (model == kModelM410 || model == kModelM520)
        std::snprintf(slotDir, sizeof slotDir, "%s/plc%d", RemoteRootFor(model), slot);

    host.EnableButton(button, false);
    const RemoteOutcome outcome =
        host.DispatchRemoteOperation(UploadRequest(model, address.c_str(), slotDir, fileName.c_str(), folder.c_str()));
    host.EnableButton(button, true);
    host.ShowMessage(outcome.Succeeded() ? "升级结束" : "升级失败");
}
