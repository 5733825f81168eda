#pragma once
// A real top-level window with child controls, for layout tests. It has no
// border, so its client area is exactly its window size; it is never shown.
#include "Window.h"

#include <string>

class LayoutWindow {
public:
    LayoutWindow(int clientWidth, int clientHeight);
    ~LayoutWindow();
    LayoutWindow(const LayoutWindow&) = delete;
    LayoutWindow& operator=(const LayoutWindow&) = delete;

    // A child at `rect` (client coordinates); WS_VISIBLE is added unless hidden.
    HWND Add(const char* className, RECT rect, DWORD style = 0, bool hidden = false);
    void Resize(int clientWidth, int clientHeight);
    SIZE ClientSize() const;
    RECT ChildRect(HWND child) const;

    CWnd window;
};

// The face name (in code page 936, as this program's literals are, whatever
// code page the test runs under) and height of the font a control was given,
// or an empty face when it has none.
struct ControlFont {
    std::string face;
    LONG height;
};
ControlFont FontOf(HWND control);
// Height of the first three characters of "FONT" in the control's own font.
int LineHeightOf(HWND control);

// Makes `dir` the current directory for the lifetime of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& dir);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::string m_previous;
};
