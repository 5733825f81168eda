#include "ReportPaths.h"

#include <shlobj.h>

#include <cwchar>

wchar_t g_reportPath[MAX_PATH];
wchar_t g_fallbackReportPath[MAX_PATH];

namespace {
bool OpenOrSay(CReportFile& file, const wchar_t* path)
{
    if (path[0] != L'\0' && file.Open(path))
        return true;
    ::OutputDebugStringA("创建崩溃记录文件失败");
    return false;
}

// Makes the folder that holds `path`; one level is enough, as the user's
// own folder above it always exists.
void MakeParentFolder(const wchar_t* path)
{
    wchar_t folder[MAX_PATH];
    ::lstrcpynW(folder, path, MAX_PATH);
    if (wchar_t* slash = std::wcsrchr(folder, L'\\')) {
        *slash = L'\0';
        ::CreateDirectoryW(folder, nullptr);
    }
}
// "错误报告_<program>.<yyyy_mm_dd_hh_mm_ss>.TXT" in `folder`, which ends in a
// backslash. A name too long for the buffer is cut.
void FormatReportPath(wchar_t* path, const wchar_t* folder, const wchar_t* programName,
                      const SYSTEMTIME& startup)
{
    if (std::swprintf(path, MAX_PATH, L"%ls错误报告_%ls.%04d_%02d_%02d_%02d_%02d_%02d.TXT", folder, programName,
                      startup.wYear, startup.wMonth, startup.wDay, startup.wHour, startup.wMinute,
                      startup.wSecond) < 0)
        path[MAX_PATH - 1] = L'\0';
}
}  // namespace

void NameReportFiles(const wchar_t* programName, const SYSTEMTIME& startup)
{
    FormatReportPath(g_reportPath, L"C:\\", programName, startup);
    g_fallbackReportPath[0] = L'\0';
    wchar_t local[MAX_PATH] = L"";
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local))) {
        wchar_t folder[MAX_PATH];
        if (std::swprintf(folder, MAX_PATH, L"%ls\\Brantel\\", local) > 0)
            FormatReportPath(g_fallbackReportPath, folder, programName, startup);
    }
}

const wchar_t* OpenReportFile(CReportFile& file)
{
    if (OpenOrSay(file, g_reportPath))
        return g_reportPath;
    if (g_fallbackReportPath[0] != L'\0')
        MakeParentFolder(g_fallbackReportPath);
    return OpenOrSay(file, g_fallbackReportPath) ? g_fallbackReportPath : nullptr;
}
