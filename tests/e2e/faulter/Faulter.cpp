// A program that faults on purpose, so that the crash report writer it is
// linked with can be watched at work. It exists only for the tests; the
// shipped program has no way to fault on request.
//
//   faulter main     access violation on the main thread
//   faulter thread   access violation on a second thread
#include "CrashReport.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
// Of default priority, like the application object: the monitor must already
// be armed when this is constructed.
struct CArmedAtStartup {
    bool armed;
    CArmedAtStartup()
    {
        LPTOP_LEVEL_EXCEPTION_FILTER current = ::SetUnhandledExceptionFilter(nullptr);
        ::SetUnhandledExceptionFilter(current);
        armed = current == CrashFilter;
    }
} g_armedAtStartup;

// Volatile, so the compiler can neither see that it is null nor drop the
// store; the empty statements after the calls keep each caller's frame.
int* volatile g_nowhere = nullptr;

__attribute__((noinline)) void WriteThrough()
{
    *g_nowhere = 1;
    asm volatile("");
}

__attribute__((noinline)) void Fault()
{
    WriteThrough();
    asm volatile("");
}

DWORD WINAPI FaultingThread(void*)
{
    Fault();
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (!g_armedAtStartup.armed) {
        std::fputs("faulter: the crash monitor was not armed before the static objects\n", stderr);
        return 3;
    }
    if (argc == 2 && std::strcmp(argv[1], "main") == 0)
        Fault();
    if (argc == 2 && std::strcmp(argv[1], "thread") == 0) {
        HANDLE thread = ::CreateThread(nullptr, 0, FaultingThread, nullptr, 0, nullptr);
        ::WaitForSingleObject(thread, INFINITE);
    }
    std::fputs("usage: faulter main|thread\n", stderr);
    return 2;
}
