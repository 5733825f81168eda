#include "LayoutWindow.h"

#include <commctrl.h>

namespace {
const char* RegisteredClass()
{
    static const char* name = [] {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES};
        ::InitCommonControlsEx(&controls);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "BrantelLayoutTest";
        ::RegisterClassA(&wc);
        return "BrantelLayoutTest";
    }();
    return name;
}
}  // namespace

LayoutWindow::LayoutWindow(int clientWidth, int clientHeight)
{
    // Never shown: without a window manager, Wine waits two seconds for each
    // shown top-level window to be withdrawn again. The layout only looks at
    // its children's own visibility.
    window.m_hWnd = ::CreateWindowExA(0, RegisteredClass(), "layout", WS_POPUP, 0, 0,
                                      clientWidth, clientHeight, nullptr, nullptr,
                                      ::GetModuleHandleA(nullptr), nullptr);
}

LayoutWindow::~LayoutWindow() { ::DestroyWindow(window.m_hWnd); }

HWND LayoutWindow::Add(const char* className, RECT rect, DWORD style, bool hidden)
{
    style |= WS_CHILD | (hidden ? 0 : WS_VISIBLE);
    return ::CreateWindowExA(0, className, "Text", style, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, window.m_hWnd,
                             nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

void LayoutWindow::Resize(int clientWidth, int clientHeight)
{
    ::SetWindowPos(window.m_hWnd, nullptr, 0, 0, clientWidth, clientHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE LayoutWindow::ClientSize() const
{
    RECT rc;
    ::GetClientRect(window.m_hWnd, &rc);
    return SIZE{rc.right, rc.bottom};
}

RECT LayoutWindow::ChildRect(HWND child) const
{
    RECT rc;
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, window.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

ControlFont FontOf(HWND control)
{
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    LOGFONTW lf = {};
    if (!font || ::GetObjectW(font, sizeof lf, &lf) != sizeof lf)
        return ControlFont{"", 0};
    char face[LF_FACESIZE * 2] = "";
    ::WideCharToMultiByte(936, 0, lf.lfFaceName, -1, face, sizeof face, nullptr, nullptr);
    return ControlFont{face, lf.lfHeight};
}

int LineHeightOf(HWND control)
{
    HDC dc = ::GetDC(control);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    ::GetTextExtentPoint32A(dc, "FON", 3, &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size.cy;
}

CurrentDirectory::CurrentDirectory(const std::string& dir)
{
    char previous[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    m_previous = previous;
    ::SetCurrentDirectoryA(dir.c_str());
}

CurrentDirectory::~CurrentDirectory() { ::SetCurrentDirectoryA(m_previous.c_str()); }
