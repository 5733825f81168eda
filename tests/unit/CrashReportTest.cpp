// The report as it lands in the file, written from made-up exception records,
// and the monitor's installation.
#include "CrashReport.h"
#include "ReportPaths.h"
#include "TestDirs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {
std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> SplitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// Scratch paths are plain ASCII.
std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

// In code page 936, the form of this file's narrow literals.
std::string Narrow(const std::wstring& text)
{
    char narrow[MAX_PATH * 2] = "";
    ::WideCharToMultiByte(936, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ProgramPath()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

__attribute__((noinline)) void SomeCode() { asm volatile(""); }

class ReportFile : public ::testing::Test {
protected:
    std::string Write(DWORD code, void* address, const CONTEXT& context)
    {
        EXCEPTION_RECORD record{};
        record.ExceptionCode = code;
        record.ExceptionAddress = address;
        EXCEPTION_POINTERS pointers{&record, const_cast<CONTEXT*>(&context)};
        EXPECT_TRUE(g_reportFile.Open(Wide(path).c_str()));
        WriteCrashReport(&pointers);
        g_reportFile.Close();
        return ReadBytes(path);
    }
    ScratchDir dir;
    std::string path = dir.file("report.TXT");
};

// A context whose stack cannot be walked, so the call stack has one line.
CONTEXT UnwalkableContext(void* pc)
{
    CONTEXT context{};
#ifdef _WIN64
    context.Rip = reinterpret_cast<DWORD64>(pc);
    context.Rsp = 0;
#else
    context.Eip = reinterpret_cast<DWORD>(pc);
    context.Ebp = 0;
#endif
    return context;
}

TEST_F(ReportFile, RowsInOrderWithCrLfLineEnds)
{
    void* address = reinterpret_cast<void*>(&SomeCode);
    CONTEXT context = UnwalkableContext(address);
    context.SegCs = 0x33;
    context.SegSs = 0x2B;
    context.SegDs = 0x2B;
    context.SegEs = 0x2B;
    context.SegFs = 0x53;
    context.SegGs = 0x2B;
    context.EFlags = 0x10246;
#ifdef _WIN64
    context.Rax = 0x0123456789ABCDEF;
    context.Rdi = 0xFFFFFFFF00000001;
    context.R15 = 0x8000000000000000;
    context.Rbp = 0x22FE40;
#else
    context.Eax = 0x89ABCDEF;
    context.Edi = 0x00000001;
    context.Esp = 0x0022FE40;
#endif
    const std::vector<std::string> lines = SplitCrLf(Write(0xC0000005, address, context));

    const std::string rule = "//" + std::string(53, '=');
    ASSERT_GE(lines.size(), 20u);
    EXPECT_EQ(lines[0], rule);
    EXPECT_EQ(lines[1], "Tirox崩溃监控/Ver1.0.0.1.20.16.09.06");
    EXPECT_EQ(lines[2], "");
    EXPECT_TRUE(std::regex_match(lines[3], std::regex("崩溃时间: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"))) << lines[3];
    EXPECT_EQ(lines[4], rule);
    EXPECT_EQ(lines[5], "Exception code: C0000005 ACCESS_VIOLATION");

    char hex[32];
#ifdef _WIN64
    std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
    const std::string expected[] = {
        "RAX:0123456789ABCDEF", "RBX:0000000000000000", "RCX:0000000000000000", "RDX:0000000000000000",
        "RSI:0000000000000000", "RDI:FFFFFFFF00000001", "R8:0000000000000000", "R9:0000000000000000",
        "R10:0000000000000000", "R11:0000000000000000", "R12:0000000000000000", "R13:0000000000000000",
        "R14:0000000000000000", "R15:8000000000000000", std::string("CS:RIP:0033:") + hex,
        "SS:RSP:002B:0000000000000000  RBP:000000000022FE40", "DS:002B  ES:002B  FS:0053  GS:002B",
        "Flags:00010246", "", "Call stack:", "Address           Frame             Logical addr  Module"};
    const std::string stackLine = std::string(hex) + "  0000000000000000  0001:";
#else
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(address)));
    const std::string expected[] = {
        "EAX:89ABCDEF", "EBX:00000000", "ECX:00000000", "EDX:00000000", "ESI:00000000", "EDI:00000001",
        std::string("CS:EIP:0033:") + hex, "SS:ESP:002B:0022FE40  EBP:00000000",
        "DS:002B  ES:002B  FS:0053  GS:002B", "Flags:00010246", "", "Call stack:",
        "Address   Frame     Logical addr  Module"};
    const std::string stackLine = std::string(hex) + "  00000000  0001:";
#endif
    // The faulting code lies in the first section of this program.
    const std::regex faultLine("Fault address:  " + std::string(hex) + " 01:[0-9A-F]{8} (.*)");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[6], match, faultLine)) << lines[6];
    EXPECT_EQ(match[1].str(), ProgramPath());
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "Registers:");
    size_t at = 9;
    for (const std::string& line : expected)
        EXPECT_EQ(lines[at++], line);
    // Exactly one call-stack line, the faulting pc with its module, then the empty last row.
    ASSERT_EQ(lines.size(), at + 3);
    EXPECT_EQ(lines[at].substr(0, stackLine.size()), stackLine);
    EXPECT_EQ(lines[at].substr(stackLine.size() + 9), ProgramPath());
    EXPECT_EQ(lines[at + 1], "");
    EXPECT_EQ(lines[at + 2], "");
}

TEST_F(ReportFile, FaultOutsideEveryModuleShowsNoSectionAndNoModule)
{
    // A call through a null function pointer faults at address 0.
    const std::string report = Write(0xE0ABCDEF, nullptr, UnwalkableContext(nullptr));
    const std::string zero(sizeof(void*) * 2, '0');
    EXPECT_NE(report.find("\r\nException code: E0ABCDEF \r\n"), std::string::npos);
    EXPECT_NE(report.find("\r\nFault address:  " + zero + " 00:00000000 \r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\n" + zero + "  " + zero + "  0000:00000000 \r\n"), std::string::npos) << report;
}

TEST(ReportPrintf, CutsOverlongTextToTheBufferAndWritesExactlyWhatItFormatted)
{
    ScratchDir dir;
    const std::string path = dir.file("long.TXT");
    ASSERT_TRUE(g_reportFile.Open(Wide(path).c_str()));
    const std::string longText(3000, 'x');
    const int cut = ReportPrintf("%s", longText.c_str());
    const int width = ReportPrintf("[%5d|%05d|%X|%s]", 42, 7, 0xBEEFu, "ok");
    g_reportFile.Close();
    EXPECT_EQ(cut, 1023);
    EXPECT_EQ(width, 21);
    EXPECT_EQ(ReadBytes(path), std::string(1023, 'x') + "[   42|00007|BEEF|ok]");
    // With the file closed the text still goes to the debugger only.
    EXPECT_EQ(ReportPrintf("%d", 5), 1);
    EXPECT_EQ(ReadBytes(path).size(), 1023u + 21u);
}

LONG WINAPI OtherFilter(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }

TEST(CrashMonitor, InstallsNamesTheReportAndPutsBackThePreviousFilter)
{
    ::SetUnhandledExceptionFilter(OtherFilter);
    {
        CCrashMonitor monitor;
        EXPECT_EQ(::SetErrorMode(0), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
        EXPECT_EQ(::SetUnhandledExceptionFilter(CrashFilter), CrashFilter);
        EXPECT_EQ(g_previousFilter, OtherFilter);
        EXPECT_STREQ(g_moduleName, "crash_test.exe");
        const std::string name = "错误报告_crash_test\\.exe\\.\\d{4}_\\d\\d_\\d\\d_\\d\\d_\\d\\d_\\d\\d\\.TXT";
        EXPECT_TRUE(std::regex_match(Narrow(g_reportPath), std::regex("C:\\\\" + name))) << Narrow(g_reportPath);
        // The user's own folder, as the environment names it, and the same name.
        char local[MAX_PATH] = "";
        ::GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH);
        ASSERT_NE(local[0], '\0');
        const std::string fallback = Narrow(g_fallbackReportPath);
        EXPECT_EQ(fallback.find(std::string(local) + "\\Brantel\\"), 0u) << fallback;
        EXPECT_EQ(fallback.substr(fallback.rfind('\\')), Narrow(g_reportPath).substr(2)) << fallback;
    }
    EXPECT_EQ(::SetUnhandledExceptionFilter(nullptr), OtherFilter);
}

TEST(OpenReportFile, TakesTheRootWhenItCanAndTheUsersFolderWhenItIsRefused)
{
    const struct {
        const char* what;
        bool rootWritable;
        bool userFolderCreatable;
        int opened;  // 0 none, 1 the root's path, 2 the user's
    } cases[] = {
        {"root writable", true, true, 1},
        {"root refused", false, true, 2},
        {"both refused", false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        // A path in a folder that does not exist is refused as the root of
        // C: refuses an ordinary user; the user's folder is made when missing,
        // but only one level of it.
        const std::wstring root = Wide(dir.file(c.rootWritable ? "report.TXT" : "no root\\report.TXT"));
        const std::wstring user = Wide(dir.file(c.userFolderCreatable ? "Brantel\\report.TXT" : "no user\\Brantel\\report.TXT"));
        ::lstrcpynW(g_reportPath, root.c_str(), MAX_PATH);
        ::lstrcpynW(g_fallbackReportPath, user.c_str(), MAX_PATH);
        CReportFile file;
        EXPECT_EQ(OpenReportFile(file) != nullptr, c.opened != 0);
        file.Close();
        EXPECT_EQ(Exists(root), c.opened == 1);
        EXPECT_EQ(Exists(user), c.opened == 2);
    }
}

TEST(CrashFilter, ReportFileThatCannotBeCreatedEndsTheProcessQuietly)
{
    ScratchDir dir;
    ::lstrcpynW(g_reportPath, Wide(dir.file("no such folder\\report.TXT")).c_str(), MAX_PATH);
    ::lstrcpynW(g_fallbackReportPath, Wide(dir.file("no such folder\\Brantel\\report.TXT")).c_str(), MAX_PATH);
    EXCEPTION_RECORD record{};
    record.ExceptionCode = 0xC0000005;
    CONTEXT context = UnwalkableContext(nullptr);
    EXCEPTION_POINTERS pointers{&record, &context};
    // No message box may show here: the test would wait for it forever.
    EXPECT_EQ(CrashFilter(&pointers), EXCEPTION_EXECUTE_HANDLER);
    EXPECT_FALSE(g_reportFile.IsOpen());
}
}  // namespace
