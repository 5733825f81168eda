// The window thread while an operation runs on a worker: it answers what is
// sent to it, paints, runs the animated controls' timers, and leaves every
// queued message of its own in the queue.
#include "BusyWait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

constexpr UINT kProbe = WM_APP + 1;  // sent from the worker, answered with 42

struct Counts {
    std::atomic<int> paints{0};
    std::atomic<int> posted{0};
    std::atomic<int> timers{0};
};

// A visible top-level window that counts what reaches its procedure.
class CountingWindow {
public:
    CountingWindow()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "BrantelBusyWaitTest";
        wc.cbWndExtra = sizeof(Counts*);
        ::RegisterClassA(&wc);
        hwnd = ::CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(&counts));
        ::UpdateWindow(hwnd);
        counts.paints = 0;
    }
    ~CountingWindow() { ::DestroyWindow(hwnd); }
    HWND hwnd;
    Counts counts;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        auto* counts = reinterpret_cast<Counts*>(::GetWindowLongPtrA(h, 0));
        if (counts) {
            switch (m) {
            case WM_PAINT: {
                ++counts->paints;
                PAINTSTRUCT ps;
                ::BeginPaint(h, &ps);
                ::EndPaint(h, &ps);
                return 0;
            }
            case WM_APP: ++counts->posted; return 0;
            case WM_TIMER: ++counts->timers; return 0;
            case kProbe: return 42;
            default: break;
            }
        }
        return ::DefWindowProcA(h, m, w, l);
    }
};

void DropQueuedMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(BusyWait, AnswersPaintsAndAnimatesButLeavesTheQueueAlone)
{
    CountingWindow console, progressBar;
    ::PostMessageA(console.hwnd, WM_APP, 0, 0);
    ::SetTimer(console.hwnd, 1, 10, nullptr);
    ::SetTimer(progressBar.hwnd, 7, 10, nullptr);

    const DWORD windowThread = ::GetCurrentThreadId();
    int refreshes = 0;
    bool refreshedElsewhere = false;
    BusyWaitOptions options;
    options.animated = {progressBar.hwnd};
    options.refresh = [&] {
        ++refreshes;
        refreshedElsewhere |= ::GetCurrentThreadId() != windowThread;
    };

    std::vector<DWORD> answerMs;
    int paintsDuringWork = 0, postedDuringWork = 0, consoleTimersDuringWork = 0, barTimersDuringWork = 0;
    const int result = RunWhileWindowsStayAlive(
        [&] {
            for (int i = 0; i < 8; ++i) {
                DWORD_PTR answer = 0;
                const DWORD start = ::GetTickCount();
                if (::SendMessageTimeoutA(console.hwnd, kProbe, 0, 0, SMTO_NORMAL, 1000, &answer) && answer == 42)
                    answerMs.push_back(::GetTickCount() - start);
                ::InvalidateRect(console.hwnd, nullptr, TRUE);
                ::Sleep(40);
            }
            paintsDuringWork = console.counts.paints;
            postedDuringWork = console.counts.posted;
            consoleTimersDuringWork = console.counts.timers;
            barTimersDuringWork = progressBar.counts.timers;
            return 7;
        },
        options);

    EXPECT_EQ(result, 7);
    EXPECT_EQ(answerMs.size(), 8u) << "every probe is answered within 1 s";
    EXPECT_GT(paintsDuringWork, 0);
    EXPECT_GT(barTimersDuringWork, 0) << "the animated control's timer runs";
    EXPECT_EQ(consoleTimersDuringWork, 0) << "the window's own timer waits";
    EXPECT_EQ(postedDuringWork, 0) << "posted messages wait";
    EXPECT_GT(refreshes, 1);
    EXPECT_FALSE(refreshedElsewhere);

    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, console.hwnd, WM_APP, WM_APP, PM_NOREMOVE)) << "still queued afterwards";
    ::KillTimer(console.hwnd, 1);
    ::KillTimer(progressBar.hwnd, 7);
    DropQueuedMessages();
}

TEST(BusyWait, WorkThatThrowsThrowsOnTheWindowThread)
{
    EXPECT_THROW(RunWhileWindowsStayAlive([]() -> int { throw std::runtime_error("no worker"); }, {}),
                 std::runtime_error);
}

}  // namespace
