#pragma once
// The application object: prepares the platform, binds the host environment
// library, runs the console dialog modally and lets the process end.
#include "WinApp.h"

class CBrantelApp : public CWinApp {
public:
    CBrantelApp();
    BOOL InitInstance() override;
};

extern CBrantelApp theApp;
