#pragma once
// Drawing for the screen's DPI. The program declares itself DPI aware, so
// Windows does not stretch its windows: what it draws itself must follow the
// screen's DPI on its own.
#include <windows.h>

// Dots per inch of the screen (LOGPIXELSY); 96 at 100 % scaling.
int ScreenDpi();

// Bitmap resource `id` of `module` redrawn at `width` x `height` pixels,
// averaged (HALFTONE) so that a large master shrinks without jagged edges;
// a 24-bit DIB section, which a static control shows without copying it.
// Null when the resource is missing. The caller owns the result.
HBITMAP LoadScaledBitmap(HINSTANCE module, UINT id, int width, int height);
