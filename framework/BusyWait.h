#pragma once
// Runs a long piece of work on a worker thread while the calling window
// thread stays alive for the system but does nothing of its own.
//
// Windows marks a window "Not Responding" (and offers to close the program)
// when its thread has not looked at its messages for five seconds, and a
// window whose thread does not paint leaves holes on the screen. So while
// the work runs, the window thread still answers the messages that other
// threads and processes send it, repaints whatever needs painting, and lets
// the chosen controls run their own timers (a progress bar with visual
// styles animates each change of position through them). Nothing else is
// taken from the queue: clicks, keys, commands and the windows' own timers
// and posted messages wait there until the work is over. The one exception
// is a call the work hands over (WindowThreadCalls), such as a question in a
// message box, whose own loop then serves the window thread until it ends.
#include "WindowThreadCalls.h"

#include <windows.h>

#include <functional>
#include <vector>

struct BusyWaitOptions {
    // Controls whose own timers may run during the work.
    std::vector<HWND> animated;
    // Runs on the window thread at every wake-up and once after the work,
    // e.g. to show the work's progress.
    std::function<void()> refresh;
    // Where the work hands calls to the window thread; none when null.
    WindowThreadCalls* calls = nullptr;
};

// Returns the work's result. The work must not touch the calling thread's
// windows directly: a window call from the worker would wait for the
// window thread, which is waiting for the worker.
int RunWhileWindowsStayAlive(const std::function<int()>& work, const BusyWaitOptions& options);

// How often the window thread wakes up while it waits.
constexpr DWORD kBusyWaitRefreshMs = 15;
