#include "MessageBox.h"

#include "Resources.h"
#include "WinApp.h"

int AfxMessageBox(const char* text)
{
    CWinApp* app = CWinApp::Current();
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
    if (owner && !::IsWindow(owner))
        owner = nullptr;
    const char* caption = app ? app->AppName().c_str() : "";
    return ::MessageBoxA(owner, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

int AfxMessageBox(UINT stringId)
{
    return AfxMessageBox(LoadResourceString(stringId).c_str());
}
