#pragma once
// The About box, opened from the console's system menu.
#include "Dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(HWND parent);
};
