#include "FileSets.h"
#include "WorkingDir.h"

#include <windows.h>

#include <filesystem>

namespace {

struct Conversion {
    const char* name;
    std::string before;
    std::string after;
};

class ConvertCrToLfCase : public InScratchWorkingDir, public ::testing::WithParamInterface<Conversion> {};

TEST_P(ConvertCrToLfCase, ReplacesEachCrByLfAndKeepsTheLength)
{
    Write("run.sh", GetParam().before);
    EXPECT_EQ(ConvertCrToLf("run.sh"), 1);
    EXPECT_EQ(Read("run.sh"), GetParam().after);
    EXPECT_FALSE(Exists("tmp.txt"));
}

std::string Repeat(const std::string& unit, size_t times)
{
    std::string out;
    for (size_t i = 0; i < times; ++i)
        out += unit;
    return out;
}

INSTANTIATE_TEST_SUITE_P(Files, ConvertCrToLfCase, ::testing::Values(
    Conversion{"Empty", "", ""},
    Conversion{"CrLf", "a\r\nb\r\n", "a\n\nb\n\n"},
    Conversion{"LoneCr", "a\rb", "a\nb"},
    Conversion{"LfUntouched", "a\nb\n", "a\nb\n"},
    // One full read, then a read that returns nothing.
    Conversion{"Exactly1000", Repeat("abcd\r", 200), Repeat("abcd\n", 200)},
    // The last byte comes in a second read and must be converted too.
    Conversion{"Over1000", Repeat("x", 1000) + "\r", Repeat("x", 1000) + "\n"},
    Conversion{"ChineseBytes", "\xC9\xFD\xBC\xB6\r\n", "\xC9\xFD\xBC\xB6\n\n"}),
    [](const auto& info) { return std::string(info.param.name); });

class ConvertCrToLfFailure : public InScratchWorkingDir {};

TEST_F(ConvertCrToLfFailure, MissingFileGivesZeroAndNoTempFile)
{
    EXPECT_EQ(ConvertCrToLf("missing.sh"), 0);
    EXPECT_FALSE(Exists("tmp.txt"));
}

TEST_F(ConvertCrToLfFailure, FileLockedByAnotherHandleGivesZeroAndStaysAsItWas)
{
    Write("user.sh", "a\r\n");
    HANDLE lock = ::CreateFileA("user.sh", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ConvertCrToLf("user.sh"), 0);
    ::CloseHandle(lock);
    EXPECT_EQ(Read("user.sh"), "a\r\n");
}

TEST_F(ConvertCrToLfFailure, TempFileThatCannotBeCreatedGivesZeroAndLeavesTheFile)
{
    Write("user.sh", "a\r\n");
    std::filesystem::create_directory("tmp.txt");
    EXPECT_EQ(ConvertCrToLf("user.sh"), 0);
    EXPECT_EQ(Read("user.sh"), "a\r\n");
    EXPECT_TRUE(std::filesystem::is_directory("tmp.txt"));
}

class PrepareSystemFilesTest : public InScratchWorkingDir {
protected:
    // Every variant of `model` holds "<variant name>\r\n".
    void WriteVariants(int model)
    {
        for (int i = 0; i < kSystemFileCount; ++i)
            Write(SystemFileVariant(i, model), std::string(SystemFileVariant(i, model)) + "\r\n");
    }
    void WriteStaleGenerics()
    {
        for (const char* name : kSystemFiles)
            Write(name, "stale\r");
    }
};

TEST_F(PrepareSystemFilesTest, CopiesTheModelsVariantsAndConvertsOnlyTheTextFiles)
{
    for (int model : {kModelM410, kModelM520}) {
        SCOPED_TRACE(model);
        WriteVariants(kModelM410);
        WriteVariants(kModelM520);
        WriteStaleGenerics();
        PrepareSystemFiles(model);
        for (int i = 0; i < kSystemFileCount; ++i) {
            const std::string variant = SystemFileVariant(i, model);
            const std::string generic = kSystemFiles[i];
            const bool text = generic == "run.sh" || generic == "user.sh" || generic == "userinfo.txt";
            EXPECT_EQ(Read(generic), variant + (text ? "\n\n" : "\r\n")) << generic;
            // The variants themselves are never touched.
            EXPECT_EQ(Read(variant), variant + "\r\n");
        }
        EXPECT_FALSE(Exists("tmp.txt"));
    }
}

TEST_F(PrepareSystemFilesTest, MissingVariantsLeaveNoStaleProgramButKeepTheOtherThree)
{
    WriteStaleGenerics();
    PrepareSystemFiles(kModelM520);
    for (const char* deleted : {"Korvid", "run.sh", "scan", "test_isa"})
        EXPECT_FALSE(Exists(deleted)) << deleted;
    EXPECT_EQ(Read("Telvo"), "stale\r");
    EXPECT_EQ(Read("user.sh"), "stale\n");
    EXPECT_EQ(Read("userinfo.txt"), "stale\n");
}

TEST_F(PrepareSystemFilesTest, NoModelCopiesNothing)
{
    WriteVariants(kModelM410);
    WriteVariants(kModelM520);
    for (int model : {-1, 2}) {
        SCOPED_TRACE(model);
        WriteStaleGenerics();
        PrepareSystemFiles(model);
        for (const char* deleted : {"Korvid", "run.sh", "scan", "test_isa"})
            EXPECT_FALSE(Exists(deleted)) << deleted;
        EXPECT_EQ(Read("Telvo"), "stale\r");
        EXPECT_EQ(Read("user.sh"), "stale\n");
        EXPECT_EQ(Read("userinfo.txt"), "stale\n");
    }
}

TEST(RemoteRoot, FollowsTheModel)
{
    EXPECT_STREQ(RemoteRootFor(kModelM410), "/mnt/nandflash");
    EXPECT_STREQ(RemoteRootFor(kModelM520), "/mnt/mmc");
    EXPECT_STREQ(RemoteRootFor(-1), "");
    EXPECT_STREQ(RemoteRootFor(2), "");
}

class HandshakeFiles : public InScratchWorkingDir {};

TEST_F(HandshakeFiles, AreExactlyThreeBytesWhateverTheyHeldBefore)
{
    Write("shutdown.txt", "a much longer earlier content\r\n");
    Write("reboot.txt", "a much longer earlier content\r\n");
    EXPECT_TRUE(WriteShutdownFile());
    EXPECT_TRUE(WriteRebootFile());
    EXPECT_EQ(Read("shutdown.txt"), "Vel");
    EXPECT_EQ(Read("reboot.txt"), "123");
}

} // namespace

namespace {

// Create system works out of the box only if every file it sends lies
// beside the program.
TEST(SampleFileSet, LiesCompleteBesideTheProgram)
{
    const std::string bin = TestBinaryDir() + "\\..\\bin\\";
    for (int model : {kModelM410, kModelM520}) {
        for (int i = 0; i < kSystemFileCount; ++i)
            EXPECT_TRUE(std::filesystem::is_regular_file(bin + SystemFileVariant(i, model))) << i;
        char address[64] = "";
        ::GetPrivateProfileStringA("LOCAL_MACHINE", "IPAddress", "", address, sizeof address,
                                   (bin + SystemFileVariant(3, model)).c_str());  // userinfo-*.txt
        EXPECT_NE(address[0], '\0');
    }
    for (const char* config : {"issue", "hostname", "inetd.conf", "rc.local"})
        EXPECT_TRUE(std::filesystem::is_regular_file(bin + config)) << config;
}

} // namespace
