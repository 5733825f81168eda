#pragma once
// Starts the record of this run of the program.
#include "SessionRecord.h"

// Makes the record folder, prunes the old records and opens a new one,
// named after `start` and this process. False when any of that fails: the
// program then runs without a record, and the debugger output says why.
bool OpenSessionRecord(SessionRecord& record, const std::wstring& folder, const SYSTEMTIME& start);
