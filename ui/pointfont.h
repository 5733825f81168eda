#pragma once
// A font given in points, the unit users and settings files speak in.
#include <windows.h>

// Logical height, for the screen, of a font of `pointTenths` tenths of a
// point: -(pointTenths x LOGPIXELSY / 720), truncated toward zero. Negative
// asks for the character height rather than the cell height, as point sizes
// mean; 0 leaves the height to the font mapper's default.
LONG PointFontHeight(int pointTenths);

// Creates a font of `pointTenths` tenths of a point and face `faceName` (code
// page 936, like the default face and the font file the program ships; cut
// to what LOGFONT holds) for the screen; the caller owns the handle.
HFONT CreatePointFont(int pointTenths, const char* faceName);
