#include "SystemMenu.h"

void AppendSystemMenuEntries(HWND window, std::initializer_list<SystemMenuEntry> entries)
{
    HMENU systemMenu = ::GetSystemMenu(window, FALSE);
    if (!systemMenu)
        return;
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    for (const SystemMenuEntry& entry : entries)
        if (!entry.text.empty())
            ::AppendMenuW(systemMenu, MF_STRING, entry.id, entry.text.c_str());
}
