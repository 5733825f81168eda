#pragma once
// Entries of the program's own in a window's system menu.
#include <windows.h>

#include <string>

// Appends a separator and then an entry `text` with command `id` to the
// system menu of `window`. Does nothing when the window has no system menu
// or the text is empty.
void AppendSystemMenuEntry(HWND window, UINT id, const std::wstring& text);
