// The lamp control's colour caches: a colour that equals the cache neither
// stores nor invalidates, so the lamp repaints only on a change of colour.
#include "colorstatic.h"

#include <gtest/gtest.h>

namespace {
constexpr int kLampId = 1019;

// Only a shown window collects an update region. Showing and destroying a
// top-level window is slow under Wine, so the tests share one parent.
class ColorStaticTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { ::DestroyWindow(s_parent); }

    void SetUp() override
    {
        m_parent.m_hWnd = s_parent;
        m_child = ::CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 10, 40,
                                    20, s_parent, reinterpret_cast<HMENU>(kLampId), ::GetModuleHandleA(nullptr),
                                    nullptr);
        ASSERT_TRUE(m_lamp.SubclassDlgItem(kLampId, m_parent));
        ::UpdateWindow(s_parent);
        Validate();
    }
    void TearDown() override
    {
        ::DestroyWindow(m_child);
        m_parent.m_hWnd = nullptr;
    }

    void Validate() { ::ValidateRect(m_lamp.m_hWnd, nullptr); }
    bool Invalidated() { return ::GetUpdateRect(m_lamp.m_hWnd, nullptr, FALSE) != FALSE; }

    static HWND s_parent;
    HWND m_child = nullptr;
    CWnd m_parent;
    CColorStatic m_lamp;
};
HWND ColorStaticTest::s_parent = nullptr;

TEST_F(ColorStaticTest, FirstWhiteColourEqualsTheCacheAndDoesNothing)
{
    m_lamp.SetBackColor(RGB(255, 255, 255));
    EXPECT_FALSE(Invalidated());
    m_lamp.SetForeColor(RGB(255, 255, 255));
    EXPECT_FALSE(Invalidated());
}

TEST_F(ColorStaticTest, SameColourTwiceInvalidatesOnce)
{
    struct Step {
        COLORREF colour;
        bool invalidates;
    };
    const Step steps[] = {
        {RGB(0, 255, 0), true}, {RGB(0, 255, 0), false}, {RGB(255, 0, 0), true},
        {RGB(255, 0, 0), false}, {RGB(0, 255, 0), true}};
    for (const Step& step : steps) {
        m_lamp.SetBackColor(step.colour);
        EXPECT_EQ(Invalidated(), step.invalidates) << std::hex << step.colour;
        Validate();
    }
    m_lamp.SetForeColor(RGB(0, 0, 255));
    EXPECT_TRUE(Invalidated());
    Validate();
    m_lamp.SetForeColor(RGB(0, 0, 255));
    EXPECT_FALSE(Invalidated());
}

TEST_F(ColorStaticTest, TextGoesToTheWindowAndBackOut)
{
    m_lamp.SetText("在线");
    std::string text;
    m_lamp.GetText(text);
    EXPECT_EQ(text, "在线");
    EXPECT_EQ(m_lamp.GetWindowText(), "在线");
    EXPECT_EQ(m_lamp.SetTransparent(2), TRUE);
}
}  // namespace
