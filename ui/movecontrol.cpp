#include "movecontrol.h"

#include "pointfont.h"
#include "scaleedge.h"

#include <string>

namespace {
// Below this client width or height the dialog is minimised or being
// squeezed to nothing; scaling by such a size would destroy the layout.
constexpr int kSmallestScaledClient = 16;
// Static, edit and button controls lower than this are single-line ones that
// keep their pixel height, so their text stays readable at any dialog size.
constexpr int kSmallControlHeight = 50;

bool IsVisible(HWND hwnd)
{
    return (::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

// A child with a negative size cannot be scaled; it is looked for before
// anything moves, so that a relayout never stops half done with the
// reference size no longer matching the controls.
bool HasInvertedVisibleChild(HWND dialog)
{
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rc;
        if (IsVisible(child) && ::GetWindowRect(child, &rc) &&
            (rc.right < rc.left || rc.bottom < rc.top))
            return true;
    }
    return false;
}
}  // namespace

MoveControl::MoveControl() = default;

MoveControl::~MoveControl()
{
    m_initialised = 0;
    m_fontCreated = 0;
    if (m_font)
        ::DeleteObject(m_font);
}

void MoveControl::Init(CWnd* dialog)
{
    for (int i = 0; i < kTrackedControls; ++i)
        m_remLeft[i] = m_remRight[i] = m_remTop[i] = m_remBottom[i] = 0.0f;
    m_initialised = 1;
    m_fontCreated = 0;
    m_pDialog = dialog;
    m_rcReference = RECT{0, 0, 0, 0};
    if (dialog && dialog->m_hWnd)
        ::GetClientRect(dialog->m_hWnd, &m_rcReference);
}

int MoveControl::Relayout()
{
    if (!m_initialised)
        return 0;  // the WM_SIZE that arrives while the dialog is being created
    // Nothing may unwind into the dialog's message handling.
    try {
        if (!m_pDialog || !m_pDialog->m_hWnd)
            return 0;
        const HWND dialog = m_pDialog->m_hWnd;
        RECT rcClientStart;
        ::GetClientRect(dialog, &rcClientStart);
        const int oldW = m_rcReference.right - m_rcReference.left;
        const int oldH = m_rcReference.bottom - m_rcReference.top;
        const int newW = rcClientStart.right - rcClientStart.left;
        const int newH = rcClientStart.bottom - rcClientStart.top;
        if (oldW < kSmallestScaledClient || oldH < kSmallestScaledClient ||
            newW < kSmallestScaledClient || newH < kSmallestScaledClient)
            return 1;
        if (HasInvertedVisibleChild(dialog))
            return 0;
        const float sx = static_cast<float>(newW) / static_cast<float>(oldW);
        const float sy = static_cast<float>(newH) / static_cast<float>(oldH);

        // A font from an earlier binding stays alive until every control has
        // been given the new one.
        const HFONT previousFont = m_fontCreated ? nullptr : m_font;
        int slot = 0;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (!IsVisible(child))
                continue;
            ScaleChild(dialog, child, slot, sx, sy);
            ++slot;
        }
        if (previousFont && previousFont != m_font)
            ::DeleteObject(previousFont);

        m_rcReference = rcClientStart;
        ::InvalidateRect(dialog, &rcClientStart, FALSE);
        ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return 1;
    } catch (...) {
        return 0;
    }
}

void MoveControl::ScaleChild(HWND dialog, HWND child, int slot, float sx, float sy)
{
    RECT rc;
    ::GetWindowRect(child, &rc);
    const int h = rc.bottom - rc.top;
    ClassType type;
    ClassifyControl(child, type);  // never null: it came from the z-order walk
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);

    // Controls beyond the tracked ones start every relayout with nothing
    // carried: their edges may drift by a pixel, but no memory is overrun.
    float untracked[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const bool tracked = slot < kTrackedControls;
    float& remLeft = tracked ? m_remLeft[slot] : untracked[0];
    float& remRight = tracked ? m_remRight[slot] : untracked[1];
    float& remTop = tracked ? m_remTop[slot] : untracked[2];
    float& remBottom = tracked ? m_remBottom[slot] : untracked[3];

    rc.top = ScaleEdge(rc.top, sy, remTop);
    rc.left = ScaleEdge(rc.left, sx, remLeft);
    rc.right = ScaleEdge(rc.right, sx, remRight);

    if (!m_fontCreated) {
        m_fontCreated = 1;
        m_font = CreatePointFont(m_fontSetting.m_pointSize, m_fontSetting.m_faceName);
    }
    ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);

    const bool smallControl =
        (type == ClassStatic || type == ClassEdit || type == ClassButton) && h < kSmallControlHeight;
    if (smallControl) {
        rc.bottom = rc.top + h;
        if (!(rc.top == 0 && rc.bottom == 0)) {
            const int lineHeight = LineHeight(child);
            if (h < lineHeight)
                rc.bottom = rc.top + lineHeight + 2;
        }
    } else {
        rc.bottom = ScaleEdge(rc.bottom, sy, remBottom);
    }
    // A combo box's window covers its drop-down list as well.
    if (type == ClassComboBox)
        rc.bottom += FitComboList(child);
    ::MoveWindow(child, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
}

BOOL MoveControl::ClassifyControl(HWND hwnd, ClassType& type)
{
    type = ClassOther;
    if (!hwnd)
        return FALSE;
    static const struct {
        const char* name;
        ClassType type;
    } kClasses[] = {
        {"Static", ClassStatic},     {"Edit", ClassEdit},
        {"Button", ClassButton},     {"ComboBox", ClassComboBox},
        {"SysListView32", ClassListView}, {"SysIPAddress32", ClassIpAddress},
    };
    char name[600] = "";
    ::GetClassNameA(hwnd, name, sizeof name);
    for (const auto& entry : kClasses) {
        if (::lstrcmpiA(name, entry.name) == 0) {
            type = entry.type;
            break;
        }
    }
    return TRUE;
}

int MoveControl::FitComboList(HWND combo)
{
    HDC dc = ::GetDC(combo);
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(combo, WM_GETFONT, 0, 0));
    const HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(dc, &tm);

    int maxWidth = 0;
    int listHeight = 0;
    const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int k = 0; k < count; ++k) {
        const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, k, 0);
        if (length < 0)
            continue;
        std::string text(static_cast<size_t>(length) + 1, '\0');
        ::SendMessageA(combo, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(&text[0]));
        SIZE sz = {0, 0};
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(length), &sz);
        const int width = sz.cx + tm.tmAveCharWidth;
        if (width > maxWidth)
            maxWidth = width;
        // The list shows ten items before it scrolls.
        if (k < 10)
            listHeight += tm.tmHeight + 5;
    }

    if (oldFont)
        ::SelectObject(dc, oldFont);
    ::ReleaseDC(combo, dc);
    ::SendMessageA(combo, CB_SETDROPPEDWIDTH,
                   maxWidth + ::GetSystemMetrics(SM_CXVSCROLL) + 2 * ::GetSystemMetrics(SM_CXEDGE), 0);
    return listHeight;
}

int MoveControl::LineHeight(HWND control)
{
    HDC dc = ::GetDC(control);
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    const HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(dc, "FONT", 3, &size);
    if (oldFont)
        ::SelectObject(dc, oldFont);
    ::ReleaseDC(control, dc);
    return size.cy;
}
