#include "HostEnv.h"
#include "TestDirs.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
std::string Fixture(const std::string& name) { return TestBinaryDir() + "\\fixtures\\" + name; }

class HostEnvLoader : public ::testing::Test {
protected:
    void TearDown() override { FreeHostEnv(); }
    ScratchDir systemDir;
};

struct BrokenLibrary {
    const char* fixture;
    int expected;
};

class BrokenHostEnv : public HostEnvLoader, public ::testing::WithParamInterface<BrokenLibrary> {};

TEST_P(BrokenHostEnv, LoadFailsWithItsCodeAndLeavesEverythingUnbound)
{
    EXPECT_EQ(LoadHostEnvFrom(1, systemDir.path(), Fixture(GetParam().fixture)), GetParam().expected);
    char path[260] = "untouched";
    EXPECT_EQ(GetCurPath(path, 260), kHostEnvUnavailable);
    EXPECT_STREQ(path, "untouched");
    EXPECT_EQ(Ping("127.0.0.1"), kHostEnvUnavailable);
}

INSTANTIATE_TEST_SUITE_P(Codes, BrokenHostEnv, ::testing::Values(
    BrokenLibrary{"does_not_exist", kHostEnvLoadFailed},
    BrokenLibrary{"no_first", -2},
    BrokenLibrary{"no_curpath", -6},      // the 5th name
    BrokenLibrary{"no_115", -116},        // last code before the gap
    BrokenLibrary{"no_116", -118},        // -117 is skipped
    BrokenLibrary{"no_last", -232},
    BrokenLibrary{"wrong_size", kHostEnvWrongSize}));

TEST_F(HostEnvLoader, BoundLibraryAnswersThroughTheWrappers)
{
    ASSERT_EQ(LoadHostEnvFrom(1, systemDir.path(), Fixture("ok")), kHostEnvLoaded);
    EXPECT_TRUE(std::filesystem::exists(systemDir.file("KelvoX.dll")));

    char path[260];
    GetCurPath(path, 260);
    EXPECT_EQ(std::string(path), TestBinaryDir());  // the program's folder, no trailing separator
    char tiny[5];
    GetCurPath(tiny, sizeof tiny);
    EXPECT_EQ(std::string(tiny), TestBinaryDir().substr(0, 4));

    EXPECT_EQ(GetEnvStructSize(), 188910);
    EXPECT_NE(Ping("127.0.0.1"), 0);
    EXPECT_EQ(Ping(""), 0);
    EXPECT_EQ(Ping("not an address"), 0);

    FreeHostEnv();
    EXPECT_EQ(GetCurPath(path, 260), kHostEnvUnavailable);
    EXPECT_EQ(Ping("127.0.0.1"), kHostEnvUnavailable);
    EXPECT_EQ(GetEnvStructSize(), kHostEnvUnavailable);
}

TEST_F(HostEnvLoader, VariantPicksTheFileNameInTheSystemDirectory)
{
    const std::pair<int, const char*> variants[] = {
        {2, "Kelvo2bX.dll"}, {4, "Kelvo4bX.dll"}, {8, "Kelvo8bX.dll"},
        {16, "Kelvo16bX.dll"}, {3, "KelvoX.dll"}};
    for (const auto& [variant, name] : variants) {
        ScratchDir dir;
        ASSERT_EQ(LoadHostEnvFrom(variant, dir.path(), Fixture("ok")), kHostEnvLoaded) << variant;
        EXPECT_TRUE(std::filesystem::exists(dir.file(name))) << variant;
        FreeHostEnv();
    }
}

TEST_F(HostEnvLoader, RefusedCopyLoadsTheLibraryBesideTheProgram)
{
    const std::string unwritable = systemDir.file("no such folder");
    ASSERT_EQ(LoadHostEnvFrom(1, unwritable, Fixture("ok")), kHostEnvLoaded);
    char path[260];
    GetCurPath(path, 260);
    EXPECT_EQ(std::string(path), TestBinaryDir());
}

TEST_F(HostEnvLoader, EarlierCopyInTheSystemDirectoryServesWhenTheProgramHasNone)
{
    ASSERT_EQ(LoadHostEnvFrom(1, systemDir.path(), Fixture("ok")), kHostEnvLoaded);
    FreeHostEnv();
    EXPECT_EQ(LoadHostEnvFrom(1, systemDir.path(), Fixture("does_not_exist")), kHostEnvLoaded);
}
}  // namespace
