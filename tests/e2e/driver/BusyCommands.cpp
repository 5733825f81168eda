// Commands that watch the console while it works: does it answer as Windows
// asks a window whether it is "Not Responding", does its progress bar move,
// and does it repaint what another window uncovers.
#include "Commands.h"
#include "Windows.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kAnswerLimitMs = 1000;  // what Windows' own hang check allows is more; 1 s is ours
constexpr COLORREF kCoverColour = RGB(255, 0, 255);

// Whether the console's thread answers a message within the limit.
bool Answers(HWND window, UINT message, DWORD_PTR& result)
{
    return ::SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, kAnswerLimitMs, &result) != 0;
}

void PumpFor(DWORD ms)
{
    const ULONGLONG end = ::GetTickCount64() + ms;
    while (::GetTickCount64() < end) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(10);
    }
}

// Puts a window of the driver's own over `target` for a moment and takes it
// away again, as an engineer dragging another window across would.
void CoverFor(HWND target, DWORD ms)
{
    static const wchar_t* kClass = L"BrantelDriverCover";
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = ::CreateSolidBrush(kCoverColour);
        wc.lpszClassName = kClass;
        registered = ::RegisterClassW(&wc) != 0;
    }
    RECT rc;
    ::GetWindowRect(target, &rc);
    HWND cover = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClass, L"", WS_POPUP,
                                   rc.left - 4, rc.top - 4, rc.right - rc.left + 8, rc.bottom - rc.top + 8, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!cover)
        throw DriverError("cannot create the covering window");
    ::ShowWindow(cover, SW_SHOWNOACTIVATE);
    ::UpdateWindow(cover);
    PumpFor(ms);
    ::DestroyWindow(cover);
    PumpFor(20);
}

// What a control's client area shows on the screen, pixel by pixel.
class ScreenShot {
public:
    explicit ScreenShot(HWND control)
    {
        RECT rc;
        ::GetClientRect(control, &rc);
        POINT origin{0, 0};
        ::ClientToScreen(control, &origin);
        width = rc.right;
        height = rc.bottom;
        if (width <= 0 || height <= 0)
            return;
        m_pixels.resize(static_cast<size_t>(width) * height);
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
        ::SelectObject(memory, old);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        ::GetDIBits(memory, bitmap, 0, height, m_pixels.data(), &info, DIB_RGB_COLORS);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
    }
    // As COLORREF (0x00BBGGRR).
    COLORREF At(int x, int y) const
    {
        const DWORD quad = m_pixels[static_cast<size_t>(y) * width + x];  // 0x00RRGGBB
        return RGB((quad >> 16) & 0xFF, (quad >> 8) & 0xFF, quad & 0xFF);
    }
    int width = 0;
    int height = 0;

private:
    std::vector<DWORD> m_pixels;
};

// True when the control's client area on the screen shows text (dark
// pixels) and nothing of the covering window.
bool ShowsText(HWND control)
{
    const ScreenShot shot(control);
    int dark = 0, covered = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const COLORREF c = shot.At(x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 240)
                ++dark;
            if (c == kCoverColour)
                ++covered;
        }
    }
    return dark > 0 && covered == 0;
}

// How far the bar is filled on the screen, in percent of its width: the
// rightmost column of its middle row drawn in the selection colour.
int ShownProgress(HWND bar)
{
    const ScreenShot shot(bar);
    if (shot.width <= 0)
        return -1;
    const COLORREF fill = ::GetSysColor(COLOR_HIGHLIGHT);
    int rightmost = -1;
    for (int x = 0; x < shot.width; ++x) {
        if (shot.At(x, shot.height / 2) == fill)
            rightmost = x;
    }
    return (rightmost + 1) * 100 / shot.width;
}

void Append(std::vector<std::string>& changes, const std::string& seen)
{
    if (changes.empty() || changes.back() != seen)
        changes.push_back(seen);
}

std::string Line(const char* label, const std::vector<std::string>& values)
{
    std::string line = label;
    for (const std::string& v : values)
        line += " " + v;
    return line;
}

void BusyWatch(const Args& a)
{
    HWND console = WaitFor(FindConsole, 0, "console");
    HWND progress = ConsoleItem(1003);
    HWND pathBox = ConsoleItem(1001);
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(std::stod(a[0]) * 1000);
    int samples = 0, answered = 0, drawn = 0;
    std::vector<std::string> positions, shown;
    while (::GetTickCount64() < end) {
        ++samples;
        DWORD_PTR ignored = 0, position = 0;
        if (Answers(console, WM_NULL, ignored))
            ++answered;
        Append(positions, Answers(progress, PBM_GETPOS, position) ? std::to_string(position) : "-");
        Append(shown, std::to_string(ShownProgress(progress)));
        CoverFor(pathBox, 80);
        PumpFor(150);
        if (ShowsText(pathBox))
            ++drawn;
    }
    Print("answered " + std::to_string(answered) + " of " + std::to_string(samples));
    Print("drawn " + std::to_string(drawn) + " of " + std::to_string(samples));
    Print(Line("positions", positions));
    Print(Line("shown", shown));
}

}  // namespace

const std::map<std::string, Command>& BusyCommands()
{
    static const std::map<std::string, Command> table = {
        // busy-watch SECONDS: for SECONDS, about four times a second, asks the
        // console for WM_NULL and the progress bar for its position (each
        // with a 1 s limit), covers the path box (1001) with a window for a
        // moment and reads whether its text is back on the screen. Prints
        // "answered N of M", "drawn N of M", "positions P1 P2 ..." (each
        // change of position, "-" for no answer) and "shown S1 S2 ..." (each
        // change of how far the bar is filled on the screen, in percent).
        {"busy-watch", {1, BusyWatch}},
    };
    return table;
}
