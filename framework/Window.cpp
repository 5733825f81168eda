#include "Window.h"

#include <commctrl.h>
#include <vector>

namespace {
constexpr UINT_PTR kSubclassId = 0x4272;  // any value unique to this layer
// Window property naming the object behind a subclassed window.
constexpr const char* kObjectProperty = "Brantel.CWnd";
}

CWnd::~CWnd() { RemoveSubclass(); }

bool CWnd::AttachDlgItem(int id, const CWnd& parent)
{
    m_hWnd = ::GetDlgItem(parent.m_hWnd, id);
    return m_hWnd != nullptr;
}

bool CWnd::SubclassDlgItem(int id, const CWnd& parent)
{
    if (!AttachDlgItem(id, parent))
        return false;
    m_subclassed = ::SetWindowSubclass(m_hWnd, SubclassProc, kSubclassId,
                                       reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    if (m_subclassed)
        ::SetPropA(m_hWnd, kObjectProperty, this);
    return m_subclassed;
}

void CWnd::RemoveSubclass()
{
    if (m_subclassed && ::IsWindow(m_hWnd)) {
        ::RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
        ::RemovePropA(m_hWnd, kObjectProperty);
    }
    m_subclassed = false;
}

CWnd* CWnd::FromSubclassed(HWND hwnd)
{
    return hwnd ? static_cast<CWnd*>(::GetPropA(hwnd, kObjectProperty)) : nullptr;
}

std::string CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

int CWnd::GetWindowText(char* buffer, int capacity) const
{
    if (capacity <= 0)
        return 0;
    buffer[0] = '\0';
    return ::GetWindowTextA(m_hWnd, buffer, capacity);
}

void CWnd::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
void CWnd::EnableWindow(bool enable) { ::EnableWindow(m_hWnd, enable ? TRUE : FALSE); }
bool CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
void CWnd::Invalidate(bool erase) { ::InvalidateRect(m_hWnd, nullptr, erase ? TRUE : FALSE); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam);
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefSubclassProc(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR ref)
{
    auto* self = reinterpret_cast<CWnd*>(ref);
    if (message == WM_NCDESTROY) {
        // The window goes away before the object; forget it so the object
        // never touches a dead handle.
        ::RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        ::RemovePropA(hwnd, kObjectProperty);
        self->m_subclassed = false;
        self->m_hWnd = nullptr;
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    // No exception may unwind through the system's message dispatch.
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
}
