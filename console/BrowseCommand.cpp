#include "TextCodePages.h"
#include "UpgradeCommands.h"

#include <cstdio>
#include <string>

namespace {

// The engineer's choice goes into two MAX_PATH buffers, and the transfer
// routes join folder and name into one path of the same size.
bool FitsChosenFileBuffers(const FileChoice& choice)
{
    return choice.fileName.size() < MAX_PATH && choice.folder.size() < MAX_PATH &&
           choice.folder.size() + 1 + choice.fileName.size() < MAX_PATH;
}

} // namespace

void OnBrowse(CommandHost& host, CommandState& state)
{
    FileChoice choice;
    choice.fileName = "update.rom";
    choice.folder = choice.fullPath + "\\" + choice.fileName;

    // The file dialog moves the working directory to the folder it was in;
    // every other command finds its model variants and writes its
    // handshake files there, so put it back.
    char workingDir[MAX_PATH * 2] = "";
    const DWORD length = ::GetCurrentDirectoryA(sizeof workingDir, workingDir);
    const SaveDialogOptions options{"update.rom", "文件 (*.*; *.txt; *.rom)|*.rom;*.*;*.txt||"};
    FileChoice picked;
    const bool confirmed = host.RunSaveFileDialog(options, picked);
    if (length > 0 && length < sizeof workingDir)
        ::SetCurrentDirectoryA(workingDir);

    host.Record().Write(confirmed ? "command Browse: chose " + Utf8FromSystemText(picked.fullPath)
                                  : std::string("command Browse: cancelled"));
    if (confirmed) {
        if (!FitsChosenFileBuffers(picked)) {
            host.ShowMessage("所选文件的路径太长（文件夹和文件名合起来不能超过259个字符），"
                             "请把文件放到路径较短的文件夹后重新选择。原来的选择保持不变。");
            return;
        }
        choice = picked;
    }
    host.SetStatusText(choice.fullPath.c_str());
    host.SetPathBoxText(choice.fullPath.c_str());
    std::snprintf(state.m_szUpdateFile, sizeof state.m_szUpdateFile, "%s", choice.fileName.c_str());
    std::snprintf(state.m_szUpdateDir, sizeof state.m_szUpdateDir, "%s", choice.folder.c_str());
}
