#pragma once
// Where dialog templates, strings and icons are loaded from: the program's own
// module unless something (the host environment loader) points it elsewhere.
#include <windows.h>
#include <string>

HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// String-table entry `id` of the resource module; empty when there is none.
// The table is stored in UTF-16, and so it is handed out.
std::wstring LoadResourceString(UINT id);
