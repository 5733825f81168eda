#include "BusyWait.h"

#include <exception>
#include <system_error>
#include <thread>

namespace {

// Repaints and the allowed controls' timers; taking any message also
// answers the messages that other threads have sent meanwhile.
void ServeWindows(const BusyWaitOptions& options)
{
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        ::DispatchMessageA(&msg);
    for (HWND control : options.animated) {
        while (control && ::PeekMessageA(&msg, control, WM_TIMER, WM_TIMER, PM_REMOVE))
            ::DispatchMessageA(&msg);
    }
    if (options.refresh)
        options.refresh();
}

}  // namespace

int RunWhileWindowsStayAlive(const std::function<int()>& work, const BusyWaitOptions& options)
{
    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!done)
        return work();  // nothing to wait on: the window thread does the work

    int result = 0;
    std::exception_ptr failure;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                result = work();
            } catch (...) {
                failure = std::current_exception();
            }
            ::SetEvent(done);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the work still gets done, as it was before
        // there were workers, with the window waiting.
        ::CloseHandle(done);
        return work();
    }
    HANDLE events[2] = {done, options.calls ? options.calls->Pending() : nullptr};
    const DWORD eventCount = events[1] ? 2 : 1;
    for (;;) {
        // Wakes for new sent messages and paints only: a queued click or
        // timer must not make the wait spin.
        const DWORD woke =
            ::MsgWaitForMultipleObjectsEx(eventCount, events, kBusyWaitRefreshMs, QS_SENDMESSAGE | QS_PAINT, 0);
        // With one event, WAIT_OBJECT_0 + 1 is what the messages wake.
        if (eventCount == 2 && woke == WAIT_OBJECT_0 + 1)
            options.calls->RunPending();
        ServeWindows(options);
        if (woke == WAIT_OBJECT_0)
            break;
    }
    worker.join();
    ::CloseHandle(done);
    if (failure)
        std::rethrow_exception(failure);
    return result;
}
