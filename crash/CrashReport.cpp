#include "CrashReport.h"

#include "ExceptionNames.h"
#include "ImageSections.h"

#include <cstdarg>
#include <cstdint>

CReportFile g_reportFile;
char g_codeText[512];

namespace {
char szBuff[1024];

const char kRule[] = "//=====================================================\r\n";

#ifdef _WIN64
// wvsprintfA has no 64-bit conversion: a full address is printed as two
// eight-digit halves, "%08X%08X".
#define HALVES(value) static_cast<DWORD>(static_cast<DWORD64>(value) >> 32), static_cast<DWORD>(value)

void WriteAddressAndRegisters(const EXCEPTION_RECORD& record, const CONTEXT& context, DWORD section, DWORD offset,
                              const char* module)
{
    const uintptr_t address = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
    ReportPrintf("Fault address:  %08X%08X %02X:%08X %s\r\n", HALVES(address), section, offset, module);
    ReportPrintf("\r\nRegisters:\r\n");
    ReportPrintf("RAX:%08X%08X\r\nRBX:%08X%08X\r\nRCX:%08X%08X\r\nRDX:%08X%08X\r\nRSI:%08X%08X\r\nRDI:%08X%08X\r\n",
                 HALVES(context.Rax), HALVES(context.Rbx), HALVES(context.Rcx), HALVES(context.Rdx),
                 HALVES(context.Rsi), HALVES(context.Rdi));
    ReportPrintf("R8:%08X%08X\r\nR9:%08X%08X\r\nR10:%08X%08X\r\nR11:%08X%08X\r\n"
                 "R12:%08X%08X\r\nR13:%08X%08X\r\nR14:%08X%08X\r\nR15:%08X%08X\r\n",
                 HALVES(context.R8), HALVES(context.R9), HALVES(context.R10), HALVES(context.R11),
                 HALVES(context.R12), HALVES(context.R13), HALVES(context.R14), HALVES(context.R15));
    ReportPrintf("CS:RIP:%04X:%08X%08X\r\n", context.SegCs, HALVES(context.Rip));
    ReportPrintf("SS:RSP:%04X:%08X%08X  RBP:%08X%08X\r\n", context.SegSs, HALVES(context.Rsp), HALVES(context.Rbp));
}
#else
void WriteAddressAndRegisters(const EXCEPTION_RECORD& record, const CONTEXT& context, DWORD section, DWORD offset,
                              const char* module)
{
    ReportPrintf("Fault address:  %08X %02X:%08X %s\r\n",
                 static_cast<DWORD>(reinterpret_cast<uintptr_t>(record.ExceptionAddress)), section, offset, module);
    ReportPrintf("\r\nRegisters:\r\n");
    ReportPrintf("EAX:%08X\r\nEBX:%08X\r\nECX:%08X\r\nEDX:%08X\r\nESI:%08X\r\nEDI:%08X\r\n", context.Eax,
                 context.Ebx, context.Ecx, context.Edx, context.Esi, context.Edi);
    ReportPrintf("CS:EIP:%04X:%08X\r\n", context.SegCs, context.Eip);
    ReportPrintf("SS:ESP:%04X:%08X  EBP:%08X\r\n", context.SegSs, context.Esp, context.Ebp);
}
#endif
}  // namespace

int ReportPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int length = ::wvsprintfA(szBuff, format, args);
    va_end(args);
    // Whatever the formatter made of an overlong text, the buffer ends in a
    // terminator and only what it holds is written.
    if (length < 0)
        length = 0;
    if (length > static_cast<int>(sizeof szBuff) - 1)
        length = sizeof szBuff - 1;
    szBuff[length] = '\0';
    if (g_reportFile.IsOpen())
        g_reportFile.Write(szBuff, static_cast<DWORD>(length));
    ::OutputDebugStringA(szBuff);
    return length;
}

const char* ExceptionCodeName(DWORD code)
{
    if (const char* name = KnownExceptionName(code))
        return name;
    // A failed lookup must not leave the text of an earlier code behind.
    g_codeText[0] = '\0';
    ::FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, ::GetModuleHandleA("NTDLL.DLL"),
                     code, 0, g_codeText, sizeof g_codeText, nullptr);
    return g_codeText;
}

BOOL LocateAddress(const void* address, char* module, DWORD moduleSize, DWORD& section, DWORD& offset)
{
    MEMORY_BASIC_INFORMATION info;
    if (!::VirtualQuery(address, &info, sizeof info))
        return FALSE;
    // Free memory has no allocation base, and a null module handle would
    // name the program itself: such an address lies in no module.
    if (!info.AllocationBase)
        return FALSE;
    if (!::GetModuleFileNameA(static_cast<HMODULE>(info.AllocationBase), module, moduleSize))
        return FALSE;
    const auto* image = static_cast<const BYTE*>(info.AllocationBase);
    const uintptr_t relative = reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(image);
    return FindImageSection(image, relative, section, offset);
}

void WriteCrashReport(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    const CONTEXT& context = *pointers->ContextRecord;

    ReportPrintf(kRule);
    ReportPrintf("Tirox崩溃监控/Ver1.0.0.1.20.16.09.06");
    ReportPrintf("\r\n\r\n");
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    ReportPrintf("崩溃时间: %04d-%02d-%02d %02d:%02d:%02d\r\n", now.wYear, now.wMonth, now.wDay, now.wHour,
                 now.wMinute, now.wSecond);
    ReportPrintf(kRule);
    ReportPrintf("Exception code: %08X %s\r\n", record.ExceptionCode, ExceptionCodeName(record.ExceptionCode));

    // A failed lookup prints section 0, offset 0 and no module.
    char szFaultingModule[MAX_PATH] = "";
    DWORD section = 0;
    DWORD offset = 0;
    LocateAddress(record.ExceptionAddress, szFaultingModule, sizeof szFaultingModule, section, offset);
    WriteAddressAndRegisters(record, context, section, offset, szFaultingModule);
    ReportPrintf("DS:%04X  ES:%04X  FS:%04X  GS:%04X\r\n", context.SegDs, context.SegEs, context.SegFs,
                 context.SegGs);
    ReportPrintf("Flags:%08X\r\n", context.EFlags);
    WriteCallStack(context);
    ReportPrintf("\r\n");
}
