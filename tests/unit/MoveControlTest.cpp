#include "movecontrol.h"

#include "LayoutWindow.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

TEST(ClassifyControl, NamesClassesWithoutRegardToCase)
{
    const struct {
        const char* className;
        ClassType expected;
    } cases[] = {
        {"static", ClassStatic},          {"STATIC", ClassStatic},
        {"Edit", ClassEdit},              {"button", ClassButton},
        {"combobox", ClassComboBox},      {"SysListView32", ClassListView},
        {"sysipaddress32", ClassIpAddress}, {"ScrollBar", ClassOther},
        {PROGRESS_CLASSA, ClassOther},
    };
    LayoutWindow host(200, 100);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.className);
        const HWND control = host.Add(c.className, RECT{0, 0, 50, 20});
        ASSERT_NE(nullptr, control);
        ClassType type = ClassStatic;
        EXPECT_TRUE(MoveControl::ClassifyControl(control, type));
        EXPECT_EQ(c.expected, type);
    }
    ClassType type = ClassStatic;
    EXPECT_FALSE(MoveControl::ClassifyControl(nullptr, type));
    EXPECT_EQ(ClassOther, type);
}

namespace {
int DroppedWidth(HWND combo) { return static_cast<int>(::SendMessageA(combo, CB_GETDROPPEDWIDTH, 0, 0)); }
int ScrollAllowance() { return ::GetSystemMetrics(SM_CXVSCROLL) + 2 * ::GetSystemMetrics(SM_CXEDGE); }

struct ComboText {
    LONG height;
    LONG aveCharWidth;
    int extent;
};
ComboText MeasureInCombo(HWND combo, const std::string& text)
{
    HDC dc = ::GetDC(combo);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(combo, WM_GETFONT, 0, 0)));
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(dc, &tm);
    SIZE size = {};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(combo, dc);
    return ComboText{tm.tmHeight, tm.tmAveCharWidth, size.cx};
}
}  // namespace

TEST(FitComboList, EmptyListHasNoHeightAndRoomForTheScrollBar)
{
    LayoutWindow host(300, 200);
    const HWND combo = host.Add("ComboBox", RECT{0, 0, 8, 100}, CBS_DROPDOWNLIST);
    EXPECT_EQ(0, MoveControl::FitComboList(combo));
    EXPECT_EQ(ScrollAllowance(), DroppedWidth(combo));
}

TEST(FitComboList, HeightCountsTenItemsWidthCountsAll)
{
    LayoutWindow host(300, 200);
    const HWND combo = host.Add("ComboBox", RECT{0, 0, 8, 100}, CBS_DROPDOWN | WS_VSCROLL);
    const std::string longest = "the last item is by far the widest one";
    for (int k = 0; k < 24; ++k)
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("M" + std::to_string(k)).c_str()));
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longest.c_str()));
    ASSERT_EQ(25, ::SendMessageA(combo, CB_GETCOUNT, 0, 0));

    const ComboText measured = MeasureInCombo(combo, longest);
    EXPECT_EQ(10 * (measured.height + 5), MoveControl::FitComboList(combo));
    EXPECT_EQ(measured.extent + measured.aveCharWidth + ScrollAllowance(), DroppedWidth(combo));
}
