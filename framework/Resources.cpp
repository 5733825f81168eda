#include "Resources.h"

namespace {
HINSTANCE g_resourceModule = nullptr;
}

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceModule ? g_resourceModule : ::GetModuleHandleA(nullptr);
}

void AfxSetResourceHandle(HINSTANCE module) { g_resourceModule = module; }

std::wstring LoadResourceString(UINT id)
{
    // A string-table entry is at most 4095 characters long.
    wchar_t buffer[4096];
    const int length = ::LoadStringW(AfxGetResourceHandle(), id, buffer, 4096);
    return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}
