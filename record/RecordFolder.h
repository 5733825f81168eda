#pragma once
// Where the session records live, what they are called, and how many are
// kept. The folder is %LOCALAPPDATA%\Brantel\logs: the user's own, always
// theirs to write, never roaming or synchronised, and beside the crash
// reports that land in %LOCALAPPDATA%\Brantel when the root of C: refuses
// them.
#include <windows.h>

#include <string>

// How many records stay, the one about to be made among them, and how old
// the oldest may be.
constexpr size_t kRecordsKept = 50;
constexpr int kRecordDaysKept = 90;

// %LOCALAPPDATA%\Brantel\logs; empty when the user's folder is unknown.
std::wstring RecordFolder();
// Makes `folder` and the folders above it. False, with the system's error
// code in `error`, when it cannot be made.
bool MakeRecordFolder(const std::wstring& folder, DWORD& error);
// "Brantel-20261211-142503-4120.log": the start time and the process id,
// so that two copies of the program started in the same second each get a
// record of their own.
std::wstring RecordFileName(const SYSTEMTIME& start, DWORD processId);
// Deletes, in `folder`, every record last written more than `daysKept`
// days before `now`, and the oldest ones beyond `kept - 1`, so that `kept`
// remain once the next record is made. A record that another running copy
// of the program holds open cannot be deleted and stays.
void PruneRecords(const std::wstring& folder, size_t kept, int daysKept, const FILETIME& now);
