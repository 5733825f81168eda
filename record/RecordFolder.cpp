#include "RecordFolder.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <vector>

namespace {
// 100-nanosecond intervals, the unit of FILETIME.
constexpr unsigned long long kTicksPerDay = 24ull * 60 * 60 * 10000000;

unsigned long long Ticks(const FILETIME& time)
{
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Only files this program named are ever deleted: "Brantel-", eight digits,
// "-", six digits, "-", the process id, ".log".
bool IsRecordName(const std::wstring& name)
{
    const std::wstring prefix = L"Brantel-", suffix = L".log";
    const size_t fixed = prefix.size() + 8 + 1 + 6 + 1;
    if (name.size() <= fixed + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    for (size_t i = prefix.size(); i < name.size() - suffix.size(); ++i) {
        const bool dash = i == prefix.size() + 8 || i == prefix.size() + 15;
        if (dash ? name[i] != L'-' : !std::iswdigit(name[i]))
            return false;
    }
    return true;
}

struct Record {
    std::wstring name;
    unsigned long long lastWritten;
};
}  // namespace

std::wstring RecordFolder()
{
    wchar_t local[MAX_PATH] = L"";
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)) ||
        local[0] == L'\0')
        return std::wstring();
    return std::wstring(local) + L"\\Brantel\\logs";
}

bool MakeRecordFolder(const std::wstring& folder, DWORD& error)
{
    const int result = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return true;
        error = ERROR_DIRECTORY;
        return false;
    }
    error = static_cast<DWORD>(result);
    return false;
}

std::wstring RecordFileName(const SYSTEMTIME& start, DWORD processId)
{
    wchar_t name[64];
    std::swprintf(name, sizeof name / sizeof name[0], L"Brantel-%04u%02u%02u-%02u%02u%02u-%lu.log", start.wYear,
                  start.wMonth, start.wDay, start.wHour, start.wMinute, start.wSecond, processId);
    return name;
}

void PruneRecords(const std::wstring& folder, size_t kept, int daysKept, const FILETIME& now)
{
    std::vector<Record> records;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\Brantel-*.log").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsRecordName(found.cFileName))
            records.push_back({found.cFileName, Ticks(found.ftLastWriteTime)});
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);

    // The names begin with the start time, so they sort oldest first.
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.name < b.name; });
    const size_t room = kept > 0 ? kept - 1 : 0;
    const size_t surplus = records.size() > room ? records.size() - room : 0;
    const unsigned long long oldest = Ticks(now) - static_cast<unsigned long long>(daysKept) * kTicksPerDay;
    for (size_t i = 0; i < records.size(); ++i) {
        if (i < surplus || records[i].lastWritten < oldest)
            ::DeleteFileW((folder + L"\\" + records[i].name).c_str());
    }
}
