#include "SystemMenu.h"

void AppendSystemMenuEntry(HWND window, UINT id, const std::wstring& text)
{
    HMENU systemMenu = ::GetSystemMenu(window, FALSE);
    if (!systemMenu || text.empty())
        return;
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, id, text.c_str());
}
