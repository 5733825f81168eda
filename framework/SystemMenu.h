#pragma once
// Entries of the program's own in a window's system menu.
#include <windows.h>

#include <string>

#include <initializer_list>

struct SystemMenuEntry {
    UINT id;
    std::wstring text;
};

// Appends a separator and then `entries` to the system menu of `window`.
// Does nothing when the window has no system menu; an entry whose text is
// empty is left out.
void AppendSystemMenuEntries(HWND window, std::initializer_list<SystemMenuEntry> entries);
