#pragma once
// Thin wrappers for the common controls that the console binds by id.
#include "Window.h"

#include <commctrl.h>

class CButton : public CWnd {};
class CEdit : public CWnd {};
class CStatic : public CWnd {};

class CComboBox : public CWnd {
public:
    int GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0)); }
    int SetCurSel(int index) { return static_cast<int>(::SendMessageA(m_hWnd, CB_SETCURSEL, index, 0)); }
    int GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0)); }
    std::string GetLBText(int index) const;
    int SetDroppedWidth(int width) { return static_cast<int>(::SendMessageA(m_hWnd, CB_SETDROPPEDWIDTH, width, 0)); }
};

class CProgressCtrl : public CWnd {
public:
    void SetRange(int lower, int upper) { ::SendMessageA(m_hWnd, PBM_SETRANGE32, lower, upper); }
    int SetPos(int position) { return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETPOS, position, 0)); }
    int GetPos() const { return static_cast<int>(::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0)); }
};

// The system's IP address control. Its text can only be set field by field,
// through SetAddress; the window text reads back as the dotted address.
class CIPAddressCtrl : public CWnd {
public:
    void SetAddress(DWORD address) { ::SendMessageA(m_hWnd, IPM_SETADDRESS, 0, address); }
    // Returns the number of non-blank fields.
    int GetAddress(DWORD& address) const
    {
        return static_cast<int>(::SendMessageA(m_hWnd, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)));
    }
    void ClearAddress() { ::SendMessageA(m_hWnd, IPM_CLEARADDRESS, 0, 0); }
};
