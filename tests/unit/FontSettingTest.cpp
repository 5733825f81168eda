#include "dialogfontsetting.h"

#include "LayoutWindow.h"
#include "TestDirs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(DialogFontSetting, ReadsLoginsetIniFromTheCurrentDirectory)
{
    const std::string longFace(40, 'F');
    const std::string longFaceIni = "[DLGFONT]\nFONTFOCENAME=" + longFace + "\n";
    const struct {
        const char* name;
        const char* ini;  // null: no file
        int pointSize;
        std::string face;
    } cases[] = {
        {"no file", nullptr, 100, "幼圆"},
        {"other section only", "[FONT]\nFONTSIZE=90\n", 100, "幼圆"},
        {"both keys", "[DLGFONT]\nFONTSIZE=120\nFONTFOCENAME=宋体\n", 120, "宋体"},
        {"size that is not a number", "[DLGFONT]\nFONTSIZE=large\n", 0, "幼圆"},
        {"face longer than 29 bytes", longFaceIni.c_str(), 100,
         longFace.substr(0, 29)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        if (c.ini) {
            FILE* file = std::fopen(dir.file("loginset.ini").c_str(), "w");
            ASSERT_NE(nullptr, file);
            std::fputs(c.ini, file);
            std::fclose(file);
        }
        CurrentDirectory cd(dir.path());
        const DialogFontSetting setting;
        EXPECT_EQ(c.pointSize, setting.m_pointSize);
        EXPECT_EQ(c.face, setting.m_faceName);
    }
}
