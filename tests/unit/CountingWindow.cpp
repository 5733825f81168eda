#include "CountingWindow.h"

CountingWindow::CountingWindow(Kind kind)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "BrantelCountingWindow";
    ::RegisterClassA(&wc);
    if (kind == Kind::Visible)
        hwnd = ::CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    else
        hwnd = ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                 nullptr);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The first paint of a new window is not the test's.
    ::UpdateWindow(hwnd);
    paints = 0;
}

CountingWindow::~CountingWindow()
{
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd);
}

LRESULT CALLBACK CountingWindow::Proc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    auto* self = reinterpret_cast<CountingWindow*>(::GetWindowLongPtrA(h, GWLP_USERDATA));
    if (self) {
        switch (m) {
        case WM_PAINT: {
            ++self->paints;
            PAINTSTRUCT ps;
            ::BeginPaint(h, &ps);
            ::EndPaint(h, &ps);
            return 0;
        }
        case WM_APP: ++self->posted; return 0;
        case WM_TIMER: ++self->timers; return 0;
        case kProbe: return 42;
        default: break;
        }
    }
    return ::DefWindowProcA(h, m, w, l);
}

void DropQueuedMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}
