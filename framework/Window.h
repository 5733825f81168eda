#pragma once
// The window layer: a C++ object bound to an existing window handle. Controls
// created by a dialog template are bound by id; a control that paints or
// answers messages itself is subclassed, so its messages reach WindowProc.
#include <windows.h>
#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    // Binds this object to the child control `id` of `parent`.
    bool AttachDlgItem(int id, const CWnd& parent);
    // Binds and subclasses: from now on the control's messages go to WindowProc.
    bool SubclassDlgItem(int id, const CWnd& parent);

    // Window texts in the system's code page, the one paths and addresses
    // come in; the program's own texts reach the screen through the wide
    // calls instead (TextCodePages.h).
    std::string GetWindowText() const;
    // Copies at most capacity - 1 characters and always terminates.
    int GetWindowText(char* buffer, int capacity) const;
    void SetWindowText(const char* text);
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    void Invalidate(bool erase = true);

    // The object behind a subclassed window, or null.
    static CWnd* FromSubclassed(HWND hwnd);

    HWND m_hWnd = nullptr;

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The control's own handling of a message.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void RemoveSubclass();
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    bool m_subclassed = false;
};
