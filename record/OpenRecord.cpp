#include "OpenRecord.h"

#include "RecordFolder.h"

#include <cstdio>

bool OpenSessionRecord(SessionRecord& record, const std::wstring& folder, const SYSTEMTIME& start)
{
    if (folder.empty()) {
        ::OutputDebugStringW(L"Brantel: no session record: the user's local application data folder is unknown\n");
        return false;
    }
    DWORD error = 0;
    if (!MakeRecordFolder(folder, error)) {
        wchar_t reason[MAX_PATH + 96];
        std::swprintf(reason, sizeof reason / sizeof reason[0],
                      L"Brantel: no session record: the folder %ls cannot be made (error %lu)\n", folder.c_str(),
                      error);
        ::OutputDebugStringW(reason);
        return false;
    }
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    PruneRecords(folder, kRecordsKept, kRecordDaysKept, now);
    return record.Open(folder + L"\\" + RecordFileName(start, ::GetCurrentProcessId()));
}
