#include "StartupRecord.h"

#include "HostEnv.h"
#include "TextCodePages.h"
#include "screendpi.h"
#include "version.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {
// GetVersionEx answers what the manifest declares; ntdll tells the truth.
std::string WindowsVersion()
{
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const auto getVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (!getVersion || getVersion(&info) != 0)
        return "unknown";
    return std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + "." +
           std::to_string(info.dwBuildNumber);
}

std::wstring WorkingFolder()
{
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    std::vector<wchar_t> folder(length + 1, L'\0');
    if (length == 0 || ::GetCurrentDirectoryW(length + 1, folder.data()) == 0)
        return std::wstring();
    return folder.data();
}
}  // namespace

void RecordProgramStart(EventLog& record)
{
    record.Write(std::string("Brantel ") + BRANTEL_VERSION + (sizeof(void*) == 8 ? ", x86-64" : ", x86") +
                 " build, started");
    record.Write("Windows " + WindowsVersion() + ", system code page " + std::to_string(::GetACP()) +
                 ", screen " + std::to_string(ScreenDpi()) + " DPI");
    record.Write("working folder " + Utf8FromWide(WorkingFolder()));
}

void RecordHostEnvironment(EventLog& record)
{
    char settings[MAX_PATH] = "";
    ::GetCurPath(settings, MAX_PATH);
    record.Write("settings folder " + Utf8FromSystemText(settings));
    record.Write("host library " + Utf8FromWide(HostEnvLibraryPath()));
}
