#pragma once
// What the upgrade commands need from the console dialog. The dialog
// implements it; tests drive the commands through a fake.
#include "RemoteRequest.h"

#include <windows.h>

#include <string>

// What the engineer picked in the Save-form file dialog of Browse.
struct FileChoice {
    std::string fileName;  // bare name, e.g. "update.rom"
    std::string folder;    // folder as the dialog reports it, no trailing "\"
    std::string fullPath;  // folder, "\", file name
};

// How Browse wants its file dialog shown.
struct SaveDialogOptions {
    const char* initialFileName;  // "update.rom"
    // Framework form: label "|" patterns "|" ... ending in "||".
    const char* filter;
};

class CommandHost {
public:
    virtual ~CommandHost() = default;

    // Current selection of the model combo box (1017); -1 when none.
    virtual int CpuModelIndex() = 0;
    // Window texts of the target address (1004), the new address (1007) and
    // the path box (1001).
    virtual std::string TargetAddressText() = 0;
    virtual std::string NewAddressText() = 0;
    virtual std::string PathBoxText() = 0;
    // Texts of the path box (1001) and the status line (1005).
    virtual void SetPathBoxText(const char* text) = 0;
    virtual void SetStatusText(const char* text) = 0;
    virtual void EnableButton(int controlId, bool enable) = 0;
    // The application's standard message box: OK button, modal.
    virtual void ShowMessage(const char* text) = 0;
    // One remote operation; the texts are borrowed for the call. Returns the
    // dispatcher's result: positive success, 0 failure, -1 unreachable or no
    // SSH connection, and whether the engineer was told the target does not
    // answer.
    virtual RemoteOutcome DispatchRemoteOperation(const RemoteRequest& request) = 0;
    // Runs the common file dialog modally in its Save form (no default
    // extension, read-only box hidden, Explorer style, owned by the dialog).
    // Returns true and fills `choice` when the engineer confirms with OK.
    virtual bool RunSaveFileDialog(const SaveDialogOptions& options, FileChoice& choice) = 0;
    // The settings directory (m_szCurPath), where the userinfo files live.
    virtual std::string SettingsDirectory() = 0;
    // One line for the session record, in UTF-8: why a command sent nothing,
    // where the engineer sees only its failure message.
    virtual void RecordLine(const std::string& line) = 0;
};
