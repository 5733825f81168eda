#include "movecontrol.h"

#include "LayoutWindow.h"
#include "TestDirs.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {
// Carried remainders keep every edge within this of its exactly scaled place.
constexpr double kCarriedRounding = 2.0;

struct Child {
    HWND hwnd;
    RECT original;
};

void ExpectScaled(const RECT& original, const RECT& actual, double fx, double fy, bool heightKept)
{
    EXPECT_NEAR(original.left * fx, actual.left, kCarriedRounding);
    EXPECT_NEAR(original.right * fx, actual.right, kCarriedRounding);
    EXPECT_NEAR(original.top * fy, actual.top, kCarriedRounding);
    if (heightKept)
        EXPECT_EQ(original.bottom - original.top, actual.bottom - actual.top);
    else
        EXPECT_NEAR(original.bottom * fy, actual.bottom, kCarriedRounding);
}

LONG ExpectedFontHeight(int pointTenths)
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return -(dpi * pointTenths / 720);
}
}  // namespace

TEST(Relayout, NeedsABoundDialog)
{
    MoveControl layout;
    EXPECT_EQ(0, layout.Relayout());
    layout.Init(nullptr);
    EXPECT_EQ(0, layout.Relayout());
}

TEST(Relayout, KeepsProportionsOverSeveralResizes)
{
    LayoutWindow dialog(400, 300);
    struct Row {
        const char* className;
        RECT rect;
        DWORD style;
        bool heightKept;
    };
    const Row rows[] = {
        {"Static", {10, 10, 110, 30}, 0, true},
        {"Edit", {10, 40, 210, 64}, WS_BORDER, true},
        {"Button", {220, 40, 300, 64}, BS_PUSHBUTTON, true},
        {"Static", {10, 200, 110, 249}, 0, true},   // 49 high: still a small control
        {"Button", {120, 200, 390, 250}, BS_GROUPBOX, false},  // 50 high: scaled
        {PROGRESS_CLASSA, {10, 120, 300, 140}, 0, false},
    };
    std::vector<Child> children;
    std::vector<bool> heightKept;
    for (const Row& row : rows) {
        children.push_back({dialog.Add(row.className, row.rect, row.style), row.rect});
        heightKept.push_back(row.heightKept);
    }
    const HWND combo = dialog.Add("ComboBox", RECT{300, 10, 380, 30}, CBS_DROPDOWNLIST);
    const RECT hiddenRect = {50, 150, 150, 170};
    const HWND hidden = dialog.Add("Static", hiddenRect, 0, true);

    MoveControl layout;
    layout.Init(&dialog.window);
    ASSERT_EQ(1, layout.Relayout());
    const SIZE sizes[] = {{533, 411}, {617, 350}, {800, 600}, {451, 313}, {1000, 700}, {400, 300}};
    for (const SIZE& size : sizes) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        dialog.Resize(size.cx, size.cy);
        ASSERT_EQ(1, layout.Relayout());
        const double fx = size.cx / 400.0;
        const double fy = size.cy / 300.0;
        for (size_t i = 0; i < children.size(); ++i) {
            SCOPED_TRACE(i);
            ExpectScaled(children[i].original, dialog.ChildRect(children[i].hwnd), fx, fy, heightKept[i]);
        }
        const RECT comboRect = dialog.ChildRect(combo);
        EXPECT_NEAR(300 * fx, comboRect.left, kCarriedRounding);
        EXPECT_NEAR(380 * fx, comboRect.right, kCarriedRounding);
        EXPECT_NEAR(10 * fy, comboRect.top, kCarriedRounding);

        const RECT hiddenNow = dialog.ChildRect(hidden);
        EXPECT_TRUE(::EqualRect(&hiddenRect, &hiddenNow));
    }
    EXPECT_EQ("", FontOf(hidden).face);
}

TEST(Relayout, FirstRelayoutRaisesLowControlsToLineHeight)
{
    LayoutWindow dialog(400, 300);
    const HWND low = dialog.Add("Static", RECT{10, 10, 100, 14});
    const HWND tall = dialog.Add("Edit", RECT{10, 40, 100, 80});
    MoveControl layout;
    layout.Init(&dialog.window);
    ASSERT_EQ(1, layout.Relayout());

    const RECT lowRect = dialog.ChildRect(low);
    EXPECT_EQ(10, lowRect.top);
    EXPECT_EQ(LineHeightOf(low) + 2, lowRect.bottom - lowRect.top);
    const RECT tallRect = dialog.ChildRect(tall);
    const RECT tallExpected = {10, 40, 100, 80};
    EXPECT_TRUE(::EqualRect(&tallExpected, &tallRect));
}

TEST(Relayout, TinyClientAreaLeavesEverythingAlone)
{
    const struct {
        SIZE before;
        SIZE after;
        bool scaled;
    } cases[] = {
        {{400, 300}, {15, 300}, false}, {{400, 300}, {400, 15}, false},
        {{400, 300}, {16, 300}, true},  {{15, 300}, {400, 300}, false},
        {{16, 300}, {400, 300}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.before.cx) + "x" + std::to_string(c.before.cy) + " -> " +
                     std::to_string(c.after.cx) + "x" + std::to_string(c.after.cy));
        LayoutWindow dialog(c.before.cx, c.before.cy);
        ASSERT_EQ(c.before.cx, dialog.ClientSize().cx);
        const RECT original = {8, 100, 12, 200};
        const HWND bar = dialog.Add(PROGRESS_CLASSA, original);
        MoveControl layout;
        layout.Init(&dialog.window);
        dialog.Resize(c.after.cx, c.after.cy);
        ASSERT_EQ(c.after.cx, dialog.ClientSize().cx);
        ASSERT_EQ(c.after.cy, dialog.ClientSize().cy);
        ASSERT_EQ(1, layout.Relayout());
        const RECT now = dialog.ChildRect(bar);
        if (c.scaled) {
            ExpectScaled(original, now, double(c.after.cx) / c.before.cx,
                         double(c.after.cy) / c.before.cy, false);
        } else {
            EXPECT_TRUE(::EqualRect(&original, &now));
            EXPECT_EQ("", FontOf(bar).face);
        }
    }
}

TEST(Relayout, GuardKeepsTheReferenceSize)
{
    // Minimised and restored: the restore must scale from the size before.
    LayoutWindow dialog(400, 300);
    const RECT original = {100, 100, 200, 200};
    const HWND bar = dialog.Add(PROGRESS_CLASSA, original);
    MoveControl layout;
    layout.Init(&dialog.window);
    dialog.Resize(10, 10);
    ASSERT_EQ(1, layout.Relayout());
    dialog.Resize(800, 600);
    ASSERT_EQ(1, layout.Relayout());
    const RECT expected = {200, 200, 400, 400};
    const RECT now = dialog.ChildRect(bar);
    EXPECT_TRUE(::EqualRect(&expected, &now));
}

TEST(Relayout, FontFromLoginsetIniReachesEveryVisibleControl)
{
    const struct {
        const char* ini;  // null: no file
        const char* face;
        int pointTenths;
    } cases[] = {
        {"[DLGFONT]\nFONTSIZE=140\nFONTFOCENAME=Courier New\n", "Courier New", 140},
        {nullptr, "幼圆", 100},
        // Height 0 lets the font mapper pick its default height.
        {"[DLGFONT]\nFONTSIZE=0\n", "幼圆", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini ? c.ini : "no file");
        ScratchDir dir;
        if (c.ini) {
            FILE* ini = std::fopen(dir.file("loginset.ini").c_str(), "w");
            ASSERT_NE(nullptr, ini);
            std::fputs(c.ini, ini);
            std::fclose(ini);
        }
        LayoutWindow dialog(400, 300);
        const HWND controls[] = {
            dialog.Add("Static", RECT{10, 10, 100, 30}),
            dialog.Add("Edit", RECT{10, 40, 100, 60}),
            dialog.Add("Button", RECT{10, 70, 100, 90}),
            dialog.Add("ComboBox", RECT{10, 100, 100, 200}, CBS_DROPDOWNLIST),
            dialog.Add(PROGRESS_CLASSA, RECT{10, 210, 100, 230}),
        };
        const HWND hidden = dialog.Add("Static", RECT{200, 10, 300, 30}, 0, true);

        CurrentDirectory cd(dir.path());
        MoveControl layout;
        layout.Init(&dialog.window);
        ASSERT_EQ(1, layout.Relayout());
        for (const HWND control : controls) {
            const ControlFont font = FontOf(control);
            EXPECT_EQ(c.face, font.face);
            EXPECT_EQ(ExpectedFontHeight(c.pointTenths), font.height);
        }
        EXPECT_EQ("", FontOf(hidden).face);
    }
}

TEST(Relayout, NewBindingReplacesTheFont)
{
    LayoutWindow dialog(400, 300);
    const HWND label = dialog.Add("Static", RECT{10, 10, 100, 30});
    MoveControl layout;
    layout.Init(&dialog.window);
    ASSERT_EQ(1, layout.Relayout());
    const HGDIOBJ first = reinterpret_cast<HGDIOBJ>(::SendMessageA(label, WM_GETFONT, 0, 0));
    layout.Init(&dialog.window);
    ASSERT_EQ(1, layout.Relayout());
    const HGDIOBJ second = reinterpret_cast<HGDIOBJ>(::SendMessageA(label, WM_GETFONT, 0, 0));
    EXPECT_NE(first, second);
    EXPECT_EQ(OBJ_FONT, ::GetObjectType(second));
    EXPECT_EQ(0u, ::GetObjectType(first));  // freed, not leaked
}

TEST(Relayout, ControlsBeyondTheTrackedOnesAreScaledSafely)
{
    LayoutWindow dialog(400, 300);
    const int count = MoveControl::kTrackedControls + 20;
    std::vector<Child> children;
    for (int i = 0; i < count; ++i) {
        const RECT rect = {(i % 40) * 10, (i / 40) * 20, (i % 40) * 10 + 7, (i / 40) * 20 + 13};
        children.push_back({dialog.Add(PROGRESS_CLASSA, rect), rect});
    }
    MoveControl layout;
    layout.Init(&dialog.window);
    const SIZE sizes[] = {{533, 411}, {617, 350}, {400, 300}};
    for (const SIZE& size : sizes) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        dialog.Resize(size.cx, size.cy);
        ASSERT_EQ(1, layout.Relayout());
        const HFONT shared = reinterpret_cast<HFONT>(::SendMessageA(children[0].hwnd, WM_GETFONT, 0, 0));
        ASSERT_NE(nullptr, shared);
        for (int i = MoveControl::kTrackedControls - 2; i < count; ++i) {
            SCOPED_TRACE(i);
            ExpectScaled(children[i].original, dialog.ChildRect(children[i].hwnd), size.cx / 400.0,
                         size.cy / 300.0, false);
            EXPECT_EQ(shared, reinterpret_cast<HFONT>(::SendMessageA(children[i].hwnd, WM_GETFONT, 0, 0)));
        }
        EXPECT_FALSE(FontOf(children[count - 1].hwnd).face.empty());
    }
}
