#include "colorstatic.h"

#include <olectl.h>

#include <utility>

CColorStatic::~CColorStatic() { ReplaceBrush(nullptr, false); }

void CColorStatic::ReplaceBrush(HBRUSH brush, bool owned)
{
    if (m_brush && m_ownsBrush)
        ::DeleteObject(m_brush);
    m_brush = brush;
    m_ownsBrush = owned;
}

void CColorStatic::SetForeColor(COLORREF color)
{
    if (color == m_lastForeColor)
        return;
    m_foreColor = color;
    m_lastForeColor = color;
    Invalidate(true);
}

void CColorStatic::SetBackColor(COLORREF color)
{
    if (color == m_lastBackColor)
        return;
    m_backColor = color;
    m_lastBackColor = color;
    Invalidate(true);
}

BOOL CColorStatic::SetTransparent(int transparent)
{
    m_transparent = transparent;
    return TRUE;
}

void CColorStatic::SetCenter(int center)
{
    m_center = center;
    m_paintedText.clear();
}

void CColorStatic::SetText(std::string text)
{
    m_text = std::move(text);
    m_paintedText.clear();
    SetWindowText(m_text.c_str());
    RedrawParentArea();
}

void CColorStatic::GetText(std::string& text) const { text = m_text; }

void CColorStatic::RedrawParentArea()
{
    HWND parent = ::GetParent(m_hWnd);
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    ::InflateRect(&rc, -2, -2);
    ::InvalidateRect(parent, &rc, TRUE);
}

LRESULT CColorStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(wParam, lParam);
    case WM_PAINT:
        OnPaint();
        return 0;
    case OCM__BASE + WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(OnReflectedColor(reinterpret_cast<HDC>(wParam)));
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(OnChildColor(reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX));
    case WM_ERASEBKGND:
        return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    default:
        return Default(message, wParam, lParam);
    }
}

LRESULT CColorStatic::OnCreate(WPARAM wParam, LPARAM lParam)
{
    if (Default(WM_CREATE, wParam, lParam) == -1)
        return -1;
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

void CColorStatic::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    m_text = GetWindowText();
    if (m_lastBackColor == m_backColor && m_lastForeColor == m_foreColor && m_paintedText == m_text) {
        ::EndPaint(m_hWnd, &ps);
        return;
    }
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (m_transparent == 1) {
        ::SetBkMode(dc, TRANSPARENT);
    } else {
        // A solid fill the way ExtTextOut does it, which also leaves the
        // background colour set for the text.
        ::SetBkColor(dc, m_backColor);
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    }
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
    ::SetTextColor(dc, m_foreColor);
    const UINT format = m_center ? (DT_SINGLELINE | DT_VCENTER | DT_CENTER) : (DT_SINGLELINE | DT_VCENTER);
    ::DrawTextA(dc, m_text.c_str(), static_cast<int>(m_text.size()), &rc, format);
    m_paintedText = m_text;
    ::SelectObject(dc, oldFont);
    ::EndPaint(m_hWnd, &ps);
}

HBRUSH CColorStatic::OnReflectedColor(HDC dc)
{
    if (m_transparent == 1) {
        ReplaceBrush(static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)), false);
        ::SetBkMode(dc, TRANSPARENT);
    } else {
        ReplaceBrush(::CreateSolidBrush(m_backColor), true);
        ::SetBkMode(dc, OPAQUE);
        ::SetBkColor(dc, m_backColor);
    }
    RedrawParentArea();
    ::SetTextColor(dc, m_foreColor);
    return m_brush;
}

HBRUSH CColorStatic::OnChildColor(HDC dc, UINT controlType)
{
    if (!dc)
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    if (controlType == CTLCOLOR_STATIC)
        ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT CColorStatic::OnEraseBackground(HDC dc)
{
    ::SetBkMode(dc, TRANSPARENT);
    return Default(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
}
