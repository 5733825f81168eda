// The window thread while an operation runs on a worker: it answers what is
// sent to it, paints, runs the animated controls' timers, and leaves every
// queued message of its own in the queue.
#include "BusyWait.h"
#include "CountingWindow.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

TEST(BusyWait, AnswersPaintsAndAnimatesButLeavesTheQueueAlone)
{
    CountingWindow console(CountingWindow::Kind::Visible), progressBar(CountingWindow::Kind::Visible);
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
                if (::SendMessageTimeoutA(console.hwnd, CountingWindow::kProbe, 0, 0, SMTO_NORMAL, 1000, &answer) && answer == 42)
                    answerMs.push_back(::GetTickCount() - start);
                ::InvalidateRect(console.hwnd, nullptr, TRUE);
                ::Sleep(40);
            }
            paintsDuringWork = console.paints;
            postedDuringWork = console.posted;
            consoleTimersDuringWork = console.timers;
            barTimersDuringWork = progressBar.timers;
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

// A question to the engineer: the worker hands it over, the window thread
// shows it inside its wait, the worker goes on with the answer.
TEST(BusyWait, CallsHandedOverRunOnTheWindowThreadWhileTheWorkerWaits)
{
    const DWORD windowThread = ::GetCurrentThreadId();
    WindowThreadCalls calls;
    BusyWaitOptions options;
    options.calls = &calls;
    std::vector<DWORD> ranOn;
    bool answered = false;
    bool workerSawTheAnswer = false;
    const int result = RunWhileWindowsStayAlive(
        [&] {
            int sum = 0;
            for (int answer : {5, 6}) {
                sum += calls.Run([&] {
                    ranOn.push_back(::GetCurrentThreadId());
                    ::Sleep(100);  // the engineer reads the question
                    answered = true;
                    return answer;
                });
                workerSawTheAnswer = answered;
                answered = false;
            }
            return sum;
        },
        options);
    EXPECT_EQ(result, 11);
    EXPECT_EQ(ranOn, (std::vector<DWORD>{windowThread, windowThread}));
    EXPECT_TRUE(workerSawTheAnswer);
    // On the window thread itself the call runs at once.
    EXPECT_EQ(calls.Run([] { return 3; }), 3);
}

TEST(BusyWait, WorkThatThrowsThrowsOnTheWindowThread)
{
    EXPECT_THROW(RunWhileWindowsStayAlive([]() -> int { throw std::runtime_error("no worker"); }, {}),
                 std::runtime_error);
}

}  // namespace
