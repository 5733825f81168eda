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
// The first visible message box (a dialog with the static text 0xFFFF), or null.
HWND FindMessageBox();
std::wstring WindowText(HWND hwnd);
// Waits up to `seconds` for `find` to give a window; throws when none comes.
HWND WaitFor(HWND (*find)(), double seconds, const char* what);
HWND ConsoleItem(int id);
