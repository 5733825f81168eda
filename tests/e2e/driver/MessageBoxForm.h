#pragma once
// What kind of message box is open: its buttons, the default one, its icon.
#include <windows.h>

#include <string>

// "buttons 6 7 default 7 icon warning": the ids of the visible buttons, the
// default button's id ("none") and which of the system's icons it shows
// ("warning", "information", "error", "question", "none").
std::string MessageBoxForm(HWND box);
