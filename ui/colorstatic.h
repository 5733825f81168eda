#pragma once
// A static control that paints itself in a text colour and a background
// colour of its own, or with a transparent background, and that draws only
// when something it shows has changed. The console uses one as its
// reachability lamp.
#include "Controls.h"

#include <string>

class CColorStatic : public CStatic {
public:
    CColorStatic() = default;
    ~CColorStatic() override;

    void SetForeColor(COLORREF color);
    void SetBackColor(COLORREF color);
    BOOL SetTransparent(int transparent);
    void SetCenter(int center);
    void SetText(std::string text);
    void GetText(std::string& text) const;
    // Invalidates the part of the parent under the control, 2 pixels in
    // from its edges, so the parent repaints what shows through.
    void RedrawParentArea();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    HBRUSH OnReflectedColor(HDC dc);
    HBRUSH OnChildColor(HDC dc, UINT controlType);
    LRESULT OnEraseBackground(HDC dc);
    void ReplaceBrush(HBRUSH brush, bool owned);

    int m_center = 0;
    int m_transparent = 0;
    COLORREF m_foreColor = RGB(0, 0, 0);
    // The caches start at white, unlike the colours: until both colours have
    // been set through the setters, every paint draws.
    COLORREF m_lastForeColor = RGB(255, 255, 255);
    COLORREF m_backColor = RGB(0xDE, 0xDF, 0xDE);
    COLORREF m_lastBackColor = RGB(255, 255, 255);
    std::string m_text;
    std::string m_paintedText;
    HBRUSH m_brush = nullptr;
    bool m_ownsBrush = false;
};
