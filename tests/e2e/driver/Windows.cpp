#include "Windows.h"

#include <vector>

std::string ToUtf8(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(size > 0 ? size - 1 : 0, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), size);
    return out;
}

std::wstring WindowCaption(HWND hwnd)
{
    // For a window of another process this reads the caption the system
    // keeps, without sending the window a message: finding a window must not
    // wait for a program that is busy.
    wchar_t text[512] = L"";
    ::GetWindowTextW(hwnd, text, 512);
    return text;
}

std::wstring WindowText(HWND hwnd)
{
    // GetWindowText does not ask a window of another process for its text;
    // edit and combo boxes hold theirs themselves, so ask with WM_GETTEXT.
    const LRESULT length = ::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

namespace {
bool IsDialog(HWND hwnd)
{
    wchar_t name[16] = L"";
    ::GetClassNameW(hwnd, name, 16);
    return std::wstring(name) == L"#32770" && ::IsWindowVisible(hwnd);
}

struct Search {
    bool (*match)(HWND);
    HWND found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    if (IsDialog(hwnd) && search->match(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopLevel(bool (*match)(HWND))
{
    Search search{match, nullptr};
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
}  // namespace

namespace {
bool IsConsole(HWND hwnd) { return WindowCaption(hwnd) == L"Dovrel/Sarnix系统升级程序"; }
}

HWND FindConsole() { return FindTopLevel(IsConsole); }

HWND FindMessageBox()
{
    return FindTopLevel([](HWND hwnd) { return !IsConsole(hwnd) && ::GetDlgItem(hwnd, 0xFFFF) != nullptr; });
}

HWND FindDialog(const std::wstring& caption)
{
    static std::wstring wanted;
    wanted = caption;
    return FindTopLevel([](HWND hwnd) { return WindowCaption(hwnd) == wanted; });
}

namespace {
struct CaptionSearch {
    const std::wstring& text;
    HWND found;
};

BOOL CALLBACK VisitCaptioned(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<CaptionSearch*>(param);
    if (!::IsWindowVisible(hwnd) || WindowCaption(hwnd).find(search->text) == std::wstring::npos)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}
}  // namespace

HWND FindWindowCaptioned(const std::wstring& text)
{
    CaptionSearch search{text, nullptr};
    ::EnumWindows(VisitCaptioned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindFileDialog()
{
    // Wine's file dialog has its name box as edit 0x480 (edt1); Windows
    // since Vista as combo box 0x47C (cmb13).
    return FindTopLevel([](HWND hwnd) {
        return ::GetDlgItem(hwnd, 0x480) != nullptr || ::GetDlgItem(hwnd, 0x47C) != nullptr;
    });
}

HWND WaitFor(HWND (*find)(), double seconds, const char* what)
{
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        if (HWND hwnd = find())
            return hwnd;
        if (::GetTickCount64() >= deadline)
            throw DriverError(std::string("no ") + what + " within " + std::to_string(seconds) + " s");
        ::Sleep(50);
    }
}

HWND ConsoleItem(int id)
{
    HWND console = FindConsole();
    if (!console)
        throw DriverError("the console is not open");
    HWND item = ::GetDlgItem(console, id);
    if (!item)
        throw DriverError("the console has no control " + std::to_string(id));
    return item;
}
