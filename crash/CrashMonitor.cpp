#include "CrashReport.h"

#include "ImageSections.h"

#include <cstdio>

LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter;
char g_moduleName[MAX_PATH];
char g_reportPath[MAX_PATH];

namespace {
const char kApology[] =
    "Fenwa系统异常，对给您带来的不便表示歉意!!\r\n"
    "我们已经记录了错误相关信息，请联系我们\r\n"
    "以便获得进一步的技术支持，我们也会进一步改进服务\r\n\r\n"
    "技术支持热线: 400-690-3185 (工作日 8:30-17:30)，邮箱: support@fenwa-tech.com.cn";

// The thread whose fault is being reported; 0 while none is.
volatile LONG g_reportingThread;
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

    // The name is fixed now, so it carries the start-up time. A very long
    // program name is cut rather than overrun the path buffer.
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    std::snprintf(g_reportPath, MAX_PATH, "C:\\错误报告_%s.%04d_%02d_%02d_%02d_%02d_%02d.TXT", g_moduleName, now.wYear,
                  now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
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

    if (g_reportFile.Open(g_reportPath)) {
        WriteCrashReport(pointers);
        g_reportFile.Close();
        ::MessageBoxA(nullptr, kApology, "程序异常", MB_ICONERROR | MB_OK);
    } else {
        ::OutputDebugStringA("创建崩溃记录文件失败");
    }
    return EXCEPTION_EXECUTE_HANDLER;
}
