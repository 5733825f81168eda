#pragma once
// Calls that a worker hands to the window thread while that thread waits in
// RunWhileWindowsStayAlive: the one way for the work to have something done
// on the window thread, such as a question to the engineer in a message box
// owned by the window. The worker waits for the call's result; the window
// thread runs the call inside its wait and goes on waiting afterwards.
#include <windows.h>

#include <functional>
#include <mutex>

class WindowThreadCalls {
public:
    // On the window thread.
    WindowThreadCalls();
    ~WindowThreadCalls();
    WindowThreadCalls(const WindowThreadCalls&) = delete;
    WindowThreadCalls& operator=(const WindowThreadCalls&) = delete;

    // On the worker: runs `call` on the window thread and returns its result
    // once it has run. On the window thread itself (the work runs there when
    // no worker could be had) it runs the call at once.
    int Run(const std::function<int()>& call);

    // For the wait on the window thread: set while a call waits to be run.
    HANDLE Pending() const { return m_pending; }
    // On the window thread: runs the waiting call, if any, and hands its
    // result back to the worker.
    void RunPending();

private:
    const DWORD m_windowThread;
    HANDLE m_pending;   // auto-reset: a call waits
    HANDLE m_answered;  // auto-reset: the call has run
    // One worker at a time hands a call over.
    std::mutex m_handOver;
    const std::function<int()>* m_call = nullptr;  // written before m_pending is set
    int m_result = 0;                               // written before m_answered is set
};
