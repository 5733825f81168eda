#pragma once
// A window of the test's own that counts what reaches its procedure:
// paints, WM_APP posts and timer ticks, and answers kProbe with 42.
#include <windows.h>

#include <atomic>

class CountingWindow {
public:
    enum class Kind { MessageOnly, Visible };
    static constexpr UINT kProbe = WM_APP + 1;

    explicit CountingWindow(Kind kind = Kind::MessageOnly);
    ~CountingWindow();
    CountingWindow(const CountingWindow&) = delete;
    CountingWindow& operator=(const CountingWindow&) = delete;

    HWND hwnd = nullptr;
    std::atomic<int> paints{0};
    std::atomic<int> posted{0};  // WM_APP
    std::atomic<int> timers{0};

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
};

// Empties the calling thread's message queue.
void DropQueuedMessages();
