#include "MessageBoxForm.h"

#include <utility>
#include <vector>

namespace {
constexpr int kIconStatic = 0x440;  // stc1 of the system's message box

// The pixels of a screen rectangle, or of an icon drawn the same size on
// `background`.
std::vector<COLORREF> ScreenPixels(const RECT& rc)
{
    std::vector<COLORREF> pixels;
    HDC screen = ::GetDC(nullptr);
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            pixels.push_back(::GetPixel(screen, x, y));
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<COLORREF> IconPixels(HICON icon, int width, int height, COLORREF background)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    HBRUSH brush = ::CreateSolidBrush(background);
    RECT all{0, 0, width, height};
    ::FillRect(dc, &all, brush);
    ::DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    ::DeleteObject(brush);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// Icon handles are the program's own, so the icon is told by its look: the
// system icon that, drawn here, matches most of the pixels on the screen.
std::string IconName(HWND box)
{
    HWND icon = ::GetDlgItem(box, kIconStatic);
    if (!icon || !::IsWindowVisible(icon))
        return "none";
    RECT rc;
    ::GetWindowRect(icon, &rc);
    const std::vector<COLORREF> shown = ScreenPixels(rc);
    if (shown.empty())
        return "none";
    const std::pair<const char*, LPCSTR> candidates[] = {
        {"warning", IDI_WARNING}, {"information", IDI_INFORMATION}, {"error", IDI_ERROR}, {"question", IDI_QUESTION}};
    const char* best = "none";
    size_t bestMatches = shown.size() / 2;  // at least half the pixels
    for (const auto& candidate : candidates) {
        const std::vector<COLORREF> drawn = IconPixels(::LoadIconA(nullptr, candidate.second), rc.right - rc.left,
                                                       rc.bottom - rc.top, shown.front());
        size_t matches = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            matches += shown[i] == drawn[i];
        if (matches > bestMatches) {
            bestMatches = matches;
            best = candidate.first;
        }
    }
    return best;
}
}  // namespace

std::string MessageBoxForm(HWND box)
{
    std::string buttons, defaultButton = "none";
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = ::GetDlgItem(box, id);
        if (!button || !::IsWindowVisible(button))
            continue;
        buttons += " " + std::to_string(id);
        if ((::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            defaultButton = std::to_string(id);
    }
    return "buttons" + buttons + " default " + defaultButton + " icon " + IconName(box);
}
