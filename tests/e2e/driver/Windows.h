#pragma once
// Finding the console's windows and talking to them.
#include <windows.h>

#include <stdexcept>
#include <string>

struct DriverError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

// The console dialog (caption "Dovrel/Sarnix系统升级程序"), or null.
HWND FindConsole();
// The first visible message box or other small dialog of the program (a
// dialog other than the console with a static of id 0xFFFF), or null.
HWND FindMessageBox();
// The visible dialog with that caption, or null.
HWND FindDialog(const std::wstring& caption);
// A visible top-level window of any class whose caption holds `text`.
HWND FindWindowCaptioned(const std::wstring& text);
// The open common file dialog, or null.
HWND FindFileDialog();
// A control's text, asked of the control itself (edit and combo boxes keep
// theirs); waits while the program is busy.
std::wstring WindowText(HWND hwnd);
// A top-level window's caption, without waiting for its program.
std::wstring WindowCaption(HWND hwnd);
// Waits up to `seconds` for `find` to give a window; throws when none comes.
HWND WaitFor(HWND (*find)(), double seconds, const char* what);
HWND ConsoleItem(int id);
