#include "pointfont.h"

#include "TextCodePages.h"
#include "screendpi.h"

#include <cstdlib>
#include <cstring>

LONG PointFontHeight(int pointTenths)
{
    const long long dpi = ScreenDpi();
    // The screen's mapping mode is MM_TEXT: device and logical units agree.
    return -static_cast<LONG>(std::llabs(dpi * pointTenths / 720));
}

HFONT CreatePointFont(int pointTenths, const char* faceName)
{
    LOGFONTW font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = PointFontHeight(pointTenths);
    // The texts it shows are the program's own, Chinese in code page 936.
    // Asking for that code page's character set is what DEFAULT_CHARSET
    // amounts to on a Chinese Windows; on any other, it makes the font
    // mapper pick a face that has their glyphs where the face asked for
    // is missing, instead of one of the system's own script.
    font.lfCharSet = GB2312_CHARSET;
    const std::wstring face = ProgramTextToWide(faceName);
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&font);
}
