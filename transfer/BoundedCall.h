#pragma once
// A blocking call with a deadline. WinINet's own time-outs do not bound
// every wait (an FTP connect ignores them, and an active-mode data
// connection can wait for the server for ever), so each blocking call runs
// on a worker thread while the caller waits at most a given time.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

struct BoundedCallResult {
    bool finished = false;   // the call ended before the deadline
    uintptr_t value = 0;     // what the call produced; 0 is failure
    DWORD error = 0;         // the worker thread's last error after a failure
    std::string response;    // the worker thread's last server reply after a failure
};

struct BoundedCall {
    // Runs on the worker thread. Everything it uses must be owned by the
    // function object itself: after a deadline the caller no longer waits.
    std::function<uintptr_t()> call;
    // Runs on the worker thread when the call produced a value after the
    // caller gave up on it, so that what it opened is not leaked.
    std::function<void(uintptr_t)> discard;
    // Runs on the caller's thread when the deadline passes; it must make
    // the call end (close what it waits on).
    std::function<void()> abort;
};

// Waits up to `limitMs` for the call. On a deadline it runs `abort` and
// waits a short grace period for the worker; a worker that still does not
// end is left to finish on its own and cleans up after itself.
BoundedCallResult RunBounded(BoundedCall task, DWORD limitMs);
