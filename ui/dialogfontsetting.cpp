#include "dialogfontsetting.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr const char* kSection = "DLGFONT";
constexpr DWORD kValueLimit = 255;
constexpr size_t kFaceBytes = sizeof(DialogFontSetting::m_faceName) - 1;
}

DialogFontSetting::DialogFontSetting()
{
    char directory[500] = "";
    const DWORD length = ::GetCurrentDirectoryA(490, directory);
    char size[kValueLimit] = "100";
    char face[kValueLimit] = "幼圆";
    // A current directory too long for the buffer leaves it unwritten; the
    // defaults are then used rather than some other folder's file.
    if (length > 0 && length < 490) {
        char syspath[520] = "";
        std::snprintf(syspath, sizeof syspath, "%s\\%s", directory, "loginset.ini");
        ::GetPrivateProfileStringA(kSection, "FONTSIZE", "100", size, kValueLimit, syspath);
        ::GetPrivateProfileStringA(kSection, "FONTFOCENAME", "幼圆", face, kValueLimit, syspath);
    }
    m_pointSize = std::atoi(size);
    const size_t faceLength = std::min(std::strlen(face), kFaceBytes);
    std::memcpy(m_faceName, face, faceLength);
    m_faceName[faceLength] = '\0';
}
