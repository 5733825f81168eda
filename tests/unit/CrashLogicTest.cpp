// The crash writer's plain logic on made-up records: exception names, the
// section arithmetic over a synthetic module image, base names, and both
// stack walks over a synthetic stack.
#include "CrashReport.h"
#include "ExceptionNames.h"
#include "FrameWalk.h"
#include "ImageSections.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {
TEST(ExceptionCodeName, TableNamesComeFirstThenTheSystemText)
{
    EXPECT_STREQ(ExceptionCodeName(0xC0000005), "ACCESS_VIOLATION");
    EXPECT_STREQ(ExceptionCodeName(0x80000001), "GUARD_PAGE");
    EXPECT_STREQ(ExceptionCodeName(0xC00000FD), "STACK_OVERFLOW");
    EXPECT_STREQ(ExceptionCodeName(0xC0000094), "INT_DIVIDE_BY_ZERO");
    EXPECT_EQ(KnownExceptionName(0xC0000007), nullptr);
    EXPECT_EQ(KnownExceptionName(0), nullptr);
}

TEST(ExceptionCodeName, UnknownCodeWithoutSystemTextIsEmptyEvenAfterAnEarlierLookup)
{
    std::strcpy(g_codeText, "text of an earlier code");
    const char* name = ExceptionCodeName(0xE0ABCDEF);
    EXPECT_EQ(name, g_codeText);
    EXPECT_STREQ(name, "");
}

// A mapped image: DOS header, PE signature, file header, an optional header of
// the given size, then three sections.
//   1: 0x1000, raw 0x1000 > virtual 0x0F00   -> spans 0x1000..0x2000
//   2: 0x2000, raw 0x0200 < virtual 0x0300   -> spans 0x2000..0x2300
//   3: 0x3000, raw 0x0100 = virtual 0x0100   -> spans 0x3000..0x3100
std::vector<BYTE> SyntheticImage(WORD optionalHeaderSize)
{
    std::vector<BYTE> image(0x400, 0);
    const LONG peOffset = 0x80;
    std::memcpy(image.data() + offsetof(IMAGE_DOS_HEADER, e_lfanew), &peOffset, sizeof peOffset);
    IMAGE_FILE_HEADER file{};
    file.NumberOfSections = 3;
    file.SizeOfOptionalHeader = optionalHeaderSize;
    std::memcpy(image.data() + peOffset + 4, &file, sizeof file);
    const struct { DWORD start, raw, virt; } sections[] = {
        {0x1000, 0x1000, 0x0F00}, {0x2000, 0x0200, 0x0300}, {0x3000, 0x0100, 0x0100}};
    BYTE* table = image.data() + peOffset + 4 + sizeof file + optionalHeaderSize;
    for (const auto& s : sections) {
        IMAGE_SECTION_HEADER header{};
        header.VirtualAddress = s.start;
        header.SizeOfRawData = s.raw;
        header.Misc.VirtualSize = s.virt;
        std::memcpy(table, &header, sizeof header);
        table += sizeof header;
    }
    return image;
}

struct SectionCase {
    uintptr_t relative;
    BOOL found;
    DWORD section;
    DWORD offset;
};

class ImageSectionLookup : public ::testing::TestWithParam<WORD> {};

TEST_P(ImageSectionLookup, FindsTheFirstSectionWhoseInclusiveSpanHoldsTheAddress)
{
    const std::vector<BYTE> image = SyntheticImage(GetParam());
    const SectionCase cases[] = {
        {0x0000, FALSE, 0, 0},         // the headers
        {0x0FFF, FALSE, 0, 0},
        {0x1000, TRUE, 1, 0x0000},
        {0x1F00, TRUE, 1, 0x0F00},     // past the virtual size, inside the raw size
        {0x2000, TRUE, 1, 0x1000},     // start + length of section 1; also the start of 2
        {0x2001, TRUE, 2, 0x0001},
        {0x2300, TRUE, 2, 0x0300},     // start + virtual size, the larger one
        {0x2301, FALSE, 0, 0},
        {0x3100, TRUE, 3, 0x0100},
        {0x3101, FALSE, 0, 0},
    };
    for (const SectionCase& c : cases) {
        DWORD section = 0xAA;
        DWORD offset = 0xBB;
        EXPECT_EQ(FindImageSection(image.data(), c.relative, section, offset), c.found) << std::hex << c.relative;
        EXPECT_EQ(section, c.found ? c.section : 0xAA) << std::hex << c.relative;
        EXPECT_EQ(offset, c.found ? c.offset : 0xBB) << std::hex << c.relative;
    }
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, ImageSectionLookup,
                         ::testing::Values(WORD{sizeof(IMAGE_OPTIONAL_HEADER32)}, WORD{sizeof(IMAGE_OPTIONAL_HEADER64)}));

TEST(LocateAddress, AddressOutsideEveryModuleLeavesTheCallersValues)
{
    char module[MAX_PATH] = "";
    DWORD section = 0;
    DWORD offset = 0;
    EXPECT_FALSE(LocateAddress(nullptr, module, sizeof module, section, offset));
    EXPECT_STREQ(module, "");
    std::vector<char> heap(64);
    EXPECT_FALSE(LocateAddress(heap.data(), module, sizeof module, section, offset));
    EXPECT_EQ(section, 0u);
    EXPECT_EQ(offset, 0u);
}

TEST(LocateAddress, HeaderAddressNamesTheModuleButNoSection)
{
    char module[MAX_PATH] = "";
    char program[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    DWORD section = 0;
    DWORD offset = 0;
    EXPECT_FALSE(LocateAddress(::GetModuleHandleA(nullptr), module, sizeof module, section, offset));
    EXPECT_STREQ(module, program);
    EXPECT_EQ(section, 0u);
    EXPECT_EQ(offset, 0u);
}

TEST(PathBaseName, TextAfterTheLastBackslash)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Brantel\\Brantel.exe", "Brantel.exe"},
        {"Brantel.exe", "Brantel.exe"},
        {"C:\\tools\\", ""},
        {"C:\\升级\\工具.exe", "工具.exe"},
        // 0x95 0x5C is one character whose second byte is a backslash.
        {"C:\\d\\\x95\x5C.exe", "\x95\x5C.exe"},
    };
    for (const auto& [path, base] : cases)
        EXPECT_STREQ(PathBaseName(path), base) << path;
}

// A stack of little-endian words at made-up addresses; only the listed words
// are writable memory. Counts the reads.
class CSyntheticStack : public IStackMemory {
public:
    explicit CSyntheticStack(size_t wordSize) : m_wordSize(wordSize) {}
    void Set(uintptr_t address, uint64_t value) { m_words[address] = value; }
    bool IsWritable(uintptr_t address, size_t size) const override
    {
        for (size_t at = 0; at < size; at += m_wordSize)
            if (!m_words.count(address + at))
                return false;
        return true;
    }
    uint64_t ReadWord(uintptr_t address, size_t size) const override
    {
        EXPECT_EQ(size, m_wordSize);
        ++reads;
        const auto found = m_words.find(address);
        return found == m_words.end() ? 0xDEADBEEF : found->second;
    }
    mutable int reads = 0;

private:
    size_t m_wordSize;
    std::map<uintptr_t, uint64_t> m_words;
};

class CRecordedFrames : public IFrameSink {
public:
    void Frame(uintptr_t pc, uintptr_t frame) override { frames.emplace_back(pc, frame); }
    std::vector<std::pair<uintptr_t, uintptr_t>> frames;
};

using Frames = std::vector<std::pair<uintptr_t, uintptr_t>>;

// Frame F holds [saved frame, return address].
void PutFrame(CSyntheticStack& stack, uintptr_t frame, uintptr_t savedFrame, uintptr_t returnAddress)
{
    stack.Set(frame, savedFrame);
    stack.Set(frame + 4, returnAddress);
}

TEST(FramePointerChain, NullFrameGivesOneLineAndNoRead)
{
    CSyntheticStack stack(4);
    CRecordedFrames lines;
    WalkFramePointerChain<uint32_t>(0x401234, 0, stack, lines);
    EXPECT_EQ(lines.frames, (Frames{{0x401234, 0}}));
    EXPECT_EQ(stack.reads, 0);
}

struct ChainCase {
    const char* what;
    uintptr_t lastSavedFrame;  // what the second frame, 0x1010, holds
    Frames expected;
};

TEST(FramePointerChain, StopsAtTheFirstFrameThatFailsATest)
{
    const ChainCase cases[] = {
        {"a frame that does not grow", 0x1010, {{0x401000, 0x1000}, {0x402000, 0x1010}}},
        {"a frame below the current one", 0x1000, {{0x401000, 0x1000}, {0x402000, 0x1010}}},
        {"an unaligned frame", 0x1022, {{0x401000, 0x1000}, {0x402000, 0x1010}}},
        {"a frame outside writable memory", 0x5000, {{0x401000, 0x1000}, {0x402000, 0x1010}}},
        {"a grown, writable frame", 0x1020, {{0x401000, 0x1000}, {0x402000, 0x1010}, {0x403000, 0x1020}}},
    };
    for (const ChainCase& c : cases) {
        CSyntheticStack stack(4);
        PutFrame(stack, 0x1000, 0x1010, 0x402000);
        PutFrame(stack, 0x1010, c.lastSavedFrame, 0x403000);
        PutFrame(stack, 0x1020, 0, 0);  // the outermost frame: its saved frame 0 ends the chain
        stack.Set(0x1022, 0);  // writable, so only its alignment stops the walk
        stack.Set(0x1026, 0);
        CRecordedFrames lines;
        WalkFramePointerChain<uint32_t>(0x401000, 0x1000, stack, lines);
        EXPECT_EQ(lines.frames, c.expected) << c.what;
    }
}

// Unwinds by a table: pc -> (caller's pc, caller's stack); a pc not in the
// table cannot be unwound.
class CTableUnwinder : public IUnwinder {
public:
    std::map<uintptr_t, std::pair<uintptr_t, uintptr_t>> callers;
    int calls = 0;
    bool Unwind(uintptr_t& pc, uintptr_t& stack) override
    {
        ++calls;
        const auto found = callers.find(pc);
        if (found == callers.end())
            return false;
        pc = found->second.first;
        stack = found->second.second;
        return true;
    }
};

TEST(UnwoundStack, UnreadableStackGivesOneLineWithoutUnwinding)
{
    CSyntheticStack stack(8);
    CTableUnwinder unwinder;
    CRecordedFrames lines;
    WalkUnwoundStack(0x40001000, 0, stack, unwinder, lines);
    EXPECT_EQ(lines.frames, (Frames{{0x40001000, 0}}));
    EXPECT_EQ(unwinder.calls, 0);
}

struct UnwindCase {
    const char* what;
    std::pair<uintptr_t, uintptr_t> callerOfSecond;  // (pc, stack) that 0x40002000 unwinds to
    Frames expected;
};

TEST(UnwoundStack, StopsAtTheFirstFrameThatFailsATest)
{
    const Frames two{{0x40001000, 0x2000}, {0x40002000, 0x2040}};
    const UnwindCase cases[] = {
        {"a stack that does not grow", {0x40003000, 0x2040}, two},
        {"a stack that shrinks", {0x40003000, 0x2000}, two},
        {"an unaligned stack", {0x40003000, 0x2084}, two},
        {"a stack outside writable memory", {0x40003000, 0x9000}, two},
        {"a null return address", {0, 0x2080}, two},
        {"a caller that cannot be unwound", {0x40009000, 0x2080},
         {{0x40001000, 0x2000}, {0x40002000, 0x2040}, {0x40009000, 0x2080}}},
    };
    for (const UnwindCase& c : cases) {
        CSyntheticStack stack(8);
        for (uintptr_t at : {0x2000, 0x2040, 0x2080, 0x2084})
            stack.Set(at, 0);
        CTableUnwinder unwinder;
        unwinder.callers[0x40001000] = {0x40002000, 0x2040};
        unwinder.callers[0x40002000] = c.callerOfSecond;
        CRecordedFrames lines;
        WalkUnwoundStack(0x40001000, 0x2000, stack, unwinder, lines);
        EXPECT_EQ(lines.frames, c.expected) << c.what;
    }
}
}  // namespace
