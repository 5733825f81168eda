#pragma once
// The upgrade console: the program's only main window.
#include "Dialog.h"

class CBrantelDlg : public CDialog {
public:
    explicit CBrantelDlg(HWND parent = nullptr);
    // Makes sure the reachability worker has ended; safe to call at any time.
    void StopNetCheck();
};
