#pragma once
// The application object: exactly one static instance, whose InitInstance the
// entry point runs. When InitInstance returns FALSE the process ends without
// entering a message loop of the application's own.
#include "Window.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int Run();

    // The application's name: the program file's base name without extension.
    // Message boxes carry it as their caption.
    const std::wstring& AppName() const { return m_appName; }

    static CWinApp* Current();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    // Bit 1: register with the system's restart manager.
    DWORD m_dwRestartManagerSupportFlags = 0;

private:
    friend int RunApplication(HINSTANCE instance);
    std::wstring m_appName;
};

// Called by WinMain; returns the process exit code.
int RunApplication(HINSTANCE instance);
