#include "WindowThreadCalls.h"

WindowThreadCalls::WindowThreadCalls()
    : m_windowThread(::GetCurrentThreadId()),
      m_pending(::CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      m_answered(::CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
}

WindowThreadCalls::~WindowThreadCalls()
{
    if (m_pending)
        ::CloseHandle(m_pending);
    if (m_answered)
        ::CloseHandle(m_answered);
}

int WindowThreadCalls::Run(const std::function<int()>& call)
{
    // Without its events the hand-over cannot work: the call then runs
    // where it is, as it does on the window thread itself.
    if (::GetCurrentThreadId() == m_windowThread || !m_pending || !m_answered)
        return call();
    std::lock_guard<std::mutex> guard(m_handOver);
    m_call = &call;
    ::SetEvent(m_pending);
    ::WaitForSingleObject(m_answered, INFINITE);
    m_call = nullptr;
    return m_result;
}

void WindowThreadCalls::RunPending()
{
    if (!m_call)
        return;
    // No exception may stay on this thread while the worker waits for the
    // answer: a call that fails answers 0.
    try {
        m_result = (*m_call)();
    } catch (...) {
        m_result = 0;
    }
    ::SetEvent(m_answered);
}
