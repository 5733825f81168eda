// The dispatcher: refused while the target is not known to answer, the route
// by model, and exactly one window message let through after each operation.
#include "CountingWindow.h"
#include "Dispatcher.h"
#include "NetState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {
class RecordingRoutes : public RemoteRoutes {
public:
    int Ftp(const RemoteRequest&) override { return Run(ftpCalls); }
    int Sftp(const RemoteRequest&) override { return Run(sftpCalls); }
    bool Closing() const override { return closing; }
    int result = 1;
    int ftpCalls = 0;
    int sftpCalls = 0;
    bool closing = false;
    bool closesDuringOperation = false;

private:
    int Run(int& calls)
    {
        ++calls;
        if (closesDuringOperation)
            closing = true;
        return result;
    }
};

RemoteRequest Request(int route)
{
    return RemoteRequest{route, "127.0.0.2", "root", "", "/mnt/mmc", "run.sh", "", kAuthPublicKey, kOperationUpload};
}

BOOL CALLBACK FindOwnMessageBox(HWND hwnd, LPARAM found)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    char name[16] = "";
    ::GetClassNameA(hwnd, name, sizeof name);
    if (process == ::GetCurrentProcessId() && std::string(name) == "#32770" && ::IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A message box of this process, or null.
HWND OwnMessageBox()
{
    HWND found = nullptr;
    ::EnumWindows(FindOwnMessageBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Answers the next message box of this process with OK and keeps its text.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer()
        : m_thread([this] {
              for (int i = 0; i < 200 && !m_done; ++i) {
                  if (HWND box = OwnMessageBox()) {
                      char text[256] = "";
                      ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                      m_text = text;
                      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                      return;
                  }
                  ::Sleep(50);
              }
          })
    {
    }
    ~MessageBoxAnswerer()
    {
        m_done = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    // The text of the box it answered; call after the box has been shown.
    std::string Text()
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_text;
    }

private:
    std::atomic<bool> m_done{false};
    std::string m_text;
    std::thread m_thread;
};

TEST(Dispatcher, UnreachableTargetIsRefusedWithAMessageAndNothingElse)
{
    for (int flag : {0, 2}) {
        g_bNetOk = flag;
        RecordingRoutes routes;
        MessageBoxAnswerer answerer;
        const RemoteOutcome outcome = DispatchRemoteOperation(Request(kRouteSftp), routes);
        EXPECT_EQ(outcome.result, -1);
        EXPECT_TRUE(outcome.refusedUnreachable);
        EXPECT_EQ(answerer.Text(), "网络似乎不通!");
        EXPECT_EQ(routes.ftpCalls + routes.sftpCalls, 0);
    }
}

TEST(Dispatcher, RouteByModelAndOneMessageLetThrough)
{
    struct Case {
        int route;
        int routeResult;
        int expected;
        int ftpCalls;
        int sftpCalls;
    };
    const Case cases[] = {
        {kRouteFtp, 1, 1, 1, 0}, {kRouteFtp, 0, 0, 1, 0}, {kRouteSftp, 1, 1, 0, 1},
        {kRouteSftp, -1, -1, 0, 1}, {2, 1, 0, 0, 0}, {-1, 1, 0, 0, 0}};
    g_bNetOk = 1;
    for (const Case& c : cases) {
        CountingWindow window;
        ::PostMessageA(window.hwnd, WM_APP, 0, 0);
        ::PostMessageA(window.hwnd, WM_APP, 0, 0);
        RecordingRoutes routes;
        routes.result = c.routeResult;
        const RemoteOutcome outcome = DispatchRemoteOperation(Request(c.route), routes);
        EXPECT_EQ(outcome.result, c.expected) << c.route;
        EXPECT_FALSE(outcome.refusedUnreachable) << c.route;
        EXPECT_EQ(routes.ftpCalls, c.ftpCalls) << c.route;
        EXPECT_EQ(routes.sftpCalls, c.sftpCalls) << c.route;
        EXPECT_EQ(window.posted, 1) << "exactly one message is let through";
        DropQueuedMessages();
    }
}

TEST(Dispatcher, QuitMessageTakenAfterAnOperationIsConsumed)
{
    g_bNetOk = 1;
    RecordingRoutes routes;
    ::PostQuitMessage(0);
    EXPECT_EQ(DispatchRemoteOperation(Request(kRouteSftp), routes).result, 1);
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Once the console closes, nothing may wait for a message: its timers and
// its reachability worker have stopped, so none would ever come.
TEST(Dispatcher, ClosingConsoleStartsNothingShowsNothingAndTakesNoMessage)
{
    struct Case {
        const char* name;
        bool closedBefore;
        int netOk;
        int expectedCalls;
    };
    const Case cases[] = {
        {"closed before, target answers", true, 1, 0},
        {"closed before, target silent", true, 0, 0},
        {"closed during the operation", false, 1, 1},
    };
    for (const Case& c : cases) {
        g_bNetOk = c.netOk;
        CountingWindow window;
        ::PostMessageA(window.hwnd, WM_APP, 0, 0);
        RecordingRoutes routes;
        routes.closing = c.closedBefore;
        routes.closesDuringOperation = true;
        const RemoteOutcome outcome = DispatchRemoteOperation(Request(kRouteSftp), routes);
        EXPECT_EQ(routes.sftpCalls, c.expectedCalls) << c.name;
        EXPECT_EQ(outcome.result, c.expectedCalls) << c.name;
        EXPECT_FALSE(outcome.refusedUnreachable) << c.name;
        EXPECT_EQ(OwnMessageBox(), nullptr) << c.name;
        EXPECT_EQ(window.posted, 0) << c.name;
        DropQueuedMessages();
    }
}
}  // namespace
