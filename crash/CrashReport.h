#pragma once
// The crash report writer: an unhandled-exception filter that writes a plain
// text report to the root of drive C: (or, where that is refused, to the
// user's own folder: ReportPaths.h), sends every piece of it to the debugger
// output and apologises to the user in a message box.
#include "ReportFile.h"

#include <windows.h>

// Process-wide state. Everything here is constant-initialised, so it is ready
// before the monitor's constructor fills it in.
extern CReportFile g_reportFile;
extern LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter;
extern char g_moduleName[MAX_PATH];
extern char g_codeText[512];

// Installs the filter while it exists. Exactly one static instance, armed
// before the application object (CrashMonitorInstance.cpp).
class CCrashMonitor {
public:
    CCrashMonitor();
    ~CCrashMonitor();
    CCrashMonitor(const CCrashMonitor&) = delete;
    CCrashMonitor& operator=(const CCrashMonitor&) = delete;
};

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers);
void WriteCrashReport(EXCEPTION_POINTERS* pointers);
void WriteCallStack(const CONTEXT& context);
// Formats with wvsprintfA's rules into a 1024-byte buffer (longer text is
// cut), writes it to the report file when that is open and always to the
// debugger output. Returns the formatted length.
int ReportPrintf(const char* format, ...);
// The table name of `code`, else NTDLL's message text for it, in g_codeText.
const char* ExceptionCodeName(DWORD code);
// Names the module that holds `address` (its full path in `module`) and the
// section and offset inside it. FALSE when the address lies in no module or
// in no section of it; `section` and `offset` are then left as they were, and
// the module path is filled in whenever the address lies in a module.
BOOL LocateAddress(const void* address, char* module, DWORD moduleSize, DWORD& section, DWORD& offset);
