#include "FullPath.h"

#include <windows.h>

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH * 2] = "";
    const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return path;
    return full;
}
