#pragma once
// Where the crash report goes. The root of drive C: comes first, where the
// report has always been looked for. An ordinary user, and an administrator
// who is not elevated, may not create files there; the report then goes,
// under the same name, into "Brantel" in the user's local application data
// folder (%LOCALAPPDATA%\Brantel). That folder belongs to the user on every
// Windows since Vista: it is always writable by them, it is never redirected
// to a network share or synchronised like Documents or the Desktop,
// ransomware protection (Controlled Folder Access) does not guard it, and no
// clean-up empties it as it empties the temporary folder. Typing
// %LOCALAPPDATA%\Brantel into Explorer's address bar opens it again.
//
// Both paths are UTF-16, so the name reads "错误报告_..." whatever code page
// the system runs with. Both are fixed at start-up, while the process is
// still sound; the filter only uses them.
#include "ReportFile.h"

#include <windows.h>

extern wchar_t g_reportPath[MAX_PATH];
// Empty when the user's folder cannot be found.
extern wchar_t g_fallbackReportPath[MAX_PATH];

// Names both report files for the program file `programName`, started at
// `startup`.
void NameReportFiles(const wchar_t* programName, const SYSTEMTIME& startup);
// Opens `file` on the first of the two paths that can be created, making the
// user's "Brantel" folder when it is missing. Each path that is refused
// leaves the debugger line "创建崩溃记录文件失败". Returns the path opened,
// or null when neither can be.
const wchar_t* OpenReportFile(CReportFile& file);
