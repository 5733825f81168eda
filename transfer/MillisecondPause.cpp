#include "MillisecondPause.h"

#include <mmsystem.h>

namespace {
// Not yet in every SDK's headers; the value is the system's.
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr LONGLONG kOneMillisecond = -10000;        // relative, in 100 ns units
// A timer that never fires must not stall the upload.
constexpr DWORD kWaitLimitMs = 100;
}  // namespace

MillisecondPause::MillisecondPause()
{
    m_timer = ::CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    if (!m_timer)
        m_raisedResolution = ::timeBeginPeriod(1) == TIMERR_NOERROR;
}

MillisecondPause::~MillisecondPause()
{
    if (m_timer)
        ::CloseHandle(m_timer);
    if (m_raisedResolution)
        ::timeEndPeriod(1);
}

void MillisecondPause::Wait()
{
    if (m_timer) {
        LARGE_INTEGER due;
        due.QuadPart = kOneMillisecond;
        if (::SetWaitableTimer(m_timer, &due, 0, nullptr, nullptr, FALSE) &&
            ::WaitForSingleObject(m_timer, kWaitLimitMs) == WAIT_OBJECT_0)
            return;
    }
    ::Sleep(1);
}
