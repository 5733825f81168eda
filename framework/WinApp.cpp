#include "WinApp.h"

namespace {
CWinApp* g_app = nullptr;

// Read wide: a program file named outside the system's code page keeps its name.
std::wstring ProgramBaseName()
{
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return name;
}
}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* CWinApp::Current() { return g_app; }

BOOL CWinApp::InitInstance()
{
    if (m_dwRestartManagerSupportFlags & 1)
        ::RegisterApplicationRestart(nullptr, 0);
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int RunApplication(HINSTANCE instance)
{
    if (!g_app)
        return 1;
    g_app->m_hInstance = instance;
    g_app->m_appName = ProgramBaseName();
    if (!g_app->InitInstance())
        return 0;
    return g_app->Run();
}
