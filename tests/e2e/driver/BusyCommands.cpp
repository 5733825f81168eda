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

// True when the control's client area on the screen shows text (dark
// pixels) and nothing of the covering window.
bool ShowsText(HWND control)
{
    RECT rc;
    ::GetClientRect(control, &rc);
    POINT origin{0, 0};
    ::ClientToScreen(control, &origin);
    const int width = rc.right, height = rc.bottom;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    int dark = 0, covered = 0;
    const auto* pixels = static_cast<const unsigned char*>(bits);
    for (int i = 0; i < width * height; ++i) {
        const int b = pixels[4 * i], g = pixels[4 * i + 1], r = pixels[4 * i + 2];
        if (r + g + b < 240)
            ++dark;
        if (r > 200 && g < 60 && b > 200)
            ++covered;
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return dark > 0 && covered == 0;
}

void BusyWatch(const Args& a)
{
    HWND console = WaitFor(FindConsole, 0, "console");
    HWND progress = ConsoleItem(1003);
    HWND pathBox = ConsoleItem(1001);
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(std::stod(a[0]) * 1000);
    int samples = 0, answered = 0, drawn = 0;
    std::vector<std::string> positions;
    while (::GetTickCount64() < end) {
        ++samples;
        DWORD_PTR ignored = 0, position = 0;
        if (Answers(console, WM_NULL, ignored))
            ++answered;
        const std::string seen = Answers(progress, PBM_GETPOS, position) ? std::to_string(position) : "-";
        if (positions.empty() || positions.back() != seen)
            positions.push_back(seen);
        CoverFor(pathBox, 80);
        PumpFor(150);
        if (ShowsText(pathBox))
            ++drawn;
    }
    Print("answered " + std::to_string(answered) + " of " + std::to_string(samples));
    Print("drawn " + std::to_string(drawn) + " of " + std::to_string(samples));
    std::string line = "positions";
    for (const std::string& p : positions)
        line += " " + p;
    Print(line);
}

}  // namespace

const std::map<std::string, Command>& BusyCommands()
{
    static const std::map<std::string, Command> table = {
        // busy-watch SECONDS: for SECONDS, about four times a second, asks the
        // console for WM_NULL and the progress bar for its position (each
        // with a 1 s limit), covers the path box (1001) with a window for a
        // moment and reads whether its text is back on the screen. Prints
        // "answered N of M", "drawn N of M" and "positions P1 P2 ..." (each
        // change of position, "-" for no answer).
        {"busy-watch", {1, BusyWatch}},
    };
    return table;
}
