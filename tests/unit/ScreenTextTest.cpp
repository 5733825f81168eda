// The program's own texts where they meet the screen, on a Windows whose code
// page is not 936: registered to run under code page 1252, where a text
// taken through the system's code page comes out as mojibake.
#include "Resources.h"
#include "SystemMenu.h"
#include "TextCodePages.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {
TEST(ScreenText, RunsUnderACodePageOtherThan936)
{
    EXPECT_NE(::GetACP(), 936u) << "the tests below prove nothing under code page 936";
}

TEST(ProgramText, ComesFromCodePage936)
{
    const std::wstring expected = L"请选择需要升级的程序";
    EXPECT_EQ(ProgramTextToWide("请选择需要升级的程序"), expected);
    EXPECT_EQ(ProgramTextToWide(""), L"");
}

TEST(SystemText, KeepsWhatTheSystemsCodePageHolds)
{
    // A path as the file dialog gives it, in the form the console keeps it.
    const std::wstring path = L"C:\\Grüße\\update.rom";
    const std::string narrow = WideToSystemText(path);
    wchar_t back[64] = L"";
    ::MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, back, 64);
    EXPECT_EQ(std::wstring(back), path);
}

TEST(SystemMenu, AboutAndRecordFolderEntriesReadRightInThatOrder)
{
    // Never shown: the menu is all that is looked at.
    HWND window = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100, 100,
                                    nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HMENU menu = ::GetSystemMenu(window, FALSE);
    ASSERT_NE(menu, nullptr);
    const int before = ::GetMenuItemCount(menu);
    AppendSystemMenuEntries(window, {{IDM_ABOUTBOX, LoadResourceString(IDS_ABOUTBOX)},
                                     {IDM_OPENLOGS, LoadResourceString(IDS_OPENLOGS)}});
    ASSERT_EQ(::GetMenuItemCount(menu), before + 3);
    EXPECT_EQ(::GetMenuState(menu, before, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(::GetMenuItemID(menu, before + 1), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(::GetMenuItemID(menu, before + 2), static_cast<UINT>(IDM_OPENLOGS));
    wchar_t text[64] = L"";
    ::GetMenuStringW(menu, IDM_ABOUTBOX, text, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), L"关于 Brantel(&A)...");
    ::GetMenuStringW(menu, IDM_OPENLOGS, text, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), L"打开日志文件夹(&L)...");
    ::DestroyWindow(window);
}
}  // namespace
