#pragma once
// Short names of the exception codes a crash report is most likely to show.
#include <windows.h>

// The name of `code`, or nullptr when the table has none.
const char* KnownExceptionName(DWORD code);
