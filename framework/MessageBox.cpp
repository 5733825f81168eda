#include "MessageBox.h"

#include "Resources.h"
#include "SessionRecord.h"
#include "TextCodePages.h"
#include "WinApp.h"

namespace {
int ShowMessageBox(const std::wstring& text, UINT type)
{
    CWinApp* app = CWinApp::Current();
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
    if (owner && !::IsWindow(owner))
        owner = nullptr;
    const wchar_t* caption = app ? app->AppName().c_str() : L"";
    g_sessionRecord.Write("message box: " + Utf8FromWide(text));
    return ::MessageBoxW(owner, text.c_str(), caption, type);
}

constexpr UINT kNotice = MB_OK | MB_ICONEXCLAMATION;
}  // namespace

int AfxMessageBox(const char* text) { return ShowMessageBox(ProgramTextToWide(text), kNotice); }

int AfxMessageBoxSystemText(const char* text) { return ShowMessageBox(SystemTextToWide(text), kNotice); }

int AfxMessageBox(UINT stringId) { return ShowMessageBox(LoadResourceString(stringId), kNotice); }

bool AfxQuestionBox(const char* text)
{
    // No is the default: Enter pressed without reading must not say yes.
    const bool yes = ShowMessageBox(ProgramTextToWide(text), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
    g_sessionRecord.Write(yes ? "answer: Yes" : "answer: No");
    return yes;
}
