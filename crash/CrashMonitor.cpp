#include "CrashReport.h"

#include "ImageSections.h"
#include "ReportPaths.h"
#include "SessionRecord.h"

#include <cwchar>

LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter;
char g_moduleName[MAX_PATH];

namespace {
const char kApology[] =
    "Fenwa系统异常，对给您带来的不便表示歉意!!\r\n"
    "我们已经记录了错误相关信息，请联系我们\r\n"
    "以便获得进一步的技术支持，我们也会进一步改进服务\r\n\r\n"
    "技术支持热线: 400-690-3185 (工作日 8:30-17:30)，邮箱: support@fenwa-tech.com.cn";

// The thread whose fault is being reported; 0 while none is.
volatile LONG g_reportingThread;

// The apology goes out in UTF-16, so that it reads right whatever the
// system's code page. It is converted into buffers of its own: the filter
// does not lean on a heap that the fault may have damaged.
wchar_t g_apology[512];
wchar_t g_apologyCaption[16];

template <size_t N>
const wchar_t* FromCodePage936(const char* text, wchar_t (&wide)[N])
{
    if (::MultiByteToWideChar(936, 0, text, -1, wide, static_cast<int>(N)) == 0)
        wide[0] = L'\0';
    return wide;
}
}  // namespace

CCrashMonitor::CCrashMonitor()
{
    // The report replaces the platform's own fault dialog.
    ::SetErrorMode(SEM_NOGPFAULTERRORBOX);
    g_previousFilter = ::SetUnhandledExceptionFilter(CrashFilter);

    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    ::OutputDebugStringA(path);
    const char* base = PathBaseName(path);
    ::OutputDebugStringA(base);
    ::lstrcpynA(g_moduleName, base, MAX_PATH);
    ::OutputDebugStringA(g_moduleName);

    // The names are fixed now, so they carry the start-up time. The program
    // name is read wide for them: a file name outside the system's code page
    // still names its report.
    wchar_t widePath[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, widePath, MAX_PATH);
    const wchar_t* wideBase = std::wcsrchr(widePath, L'\\');
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    NameReportFiles(wideBase ? wideBase + 1 : widePath, now);
}

CCrashMonitor::~CCrashMonitor()
{
    ::SetUnhandledExceptionFilter(g_previousFilter);
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers)
{
    // One report per process. A second thread that faults meanwhile waits
    // here until the process ends instead of truncating the report being
    // written; a fault inside the writer itself ends the process at once.
    const LONG self = static_cast<LONG>(::GetCurrentThreadId());
    const LONG reporting = ::InterlockedCompareExchange(&g_reportingThread, self, 0);
    if (reporting == self)
        return EXCEPTION_EXECUTE_HANDLER;
    if (reporting != 0)
        ::Sleep(INFINITE);

    const wchar_t* reportPath = OpenReportFile(g_reportFile);
    g_sessionRecord.WriteFault(reportPath);
    if (reportPath) {
        WriteCrashReport(pointers);
        g_reportFile.Close();
        ::MessageBoxW(nullptr, FromCodePage936(kApology, g_apology), FromCodePage936("程序异常", g_apologyCaption),
                      MB_ICONERROR | MB_OK);
    }
    return EXCEPTION_EXECUTE_HANDLER;
}
