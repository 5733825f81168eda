#include "Resources.h"

namespace {
HINSTANCE g_resourceModule = nullptr;
}

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceModule ? g_resourceModule : ::GetModuleHandleA(nullptr);
}

void AfxSetResourceHandle(HINSTANCE module) { g_resourceModule = module; }

std::string LoadResourceString(UINT id)
{
    // A string-table entry is at most 4095 characters long.
    char buffer[4096];
    const int length = ::LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}
