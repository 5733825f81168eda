#include "pointfont.h"

#include "TextCodePages.h"

#include <cstdlib>
#include <cstring>

LONG PointFontHeight(int pointTenths)
{
    HDC screen = ::GetDC(nullptr);
    const long long dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    // The screen's mapping mode is MM_TEXT: device and logical units agree.
    return -static_cast<LONG>(std::llabs(dpi * pointTenths / 720));
}

HFONT CreatePointFont(int pointTenths, const char* faceName)
{
    LOGFONTW font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = PointFontHeight(pointTenths);
    font.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = ProgramTextToWide(faceName);
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&font);
}
