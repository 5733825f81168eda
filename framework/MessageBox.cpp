#include "MessageBox.h"

#include "RecordText.h"
#include "Resources.h"
#include "SessionRecord.h"
#include "TextCodePages.h"
#include "WinApp.h"

namespace {
int ShowMessageBox(const std::wstring& text)
{
    CWinApp* app = CWinApp::Current();
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
    if (owner && !::IsWindow(owner))
        owner = nullptr;
    const wchar_t* caption = app ? app->AppName().c_str() : L"";
    g_sessionRecord.Write("message box: " + Utf8FromWide(text));
    return ::MessageBoxW(owner, text.c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
}
}  // namespace

int AfxMessageBox(const char* text) { return ShowMessageBox(ProgramTextToWide(text)); }

int AfxMessageBoxSystemText(const char* text) { return ShowMessageBox(SystemTextToWide(text)); }

int AfxMessageBox(UINT stringId) { return ShowMessageBox(LoadResourceString(stringId)); }
