#pragma once
// The pause of about one millisecond that an upload makes after every chunk.
//
// Sleep(1) waits for the next tick of the system timer: 15.6 ms by default on
// Windows, and since Windows 10 2004 another program's raised timer
// resolution no longer shortens it, so a 4 MiB upload would take half a
// minute in pauses alone. A high-resolution waitable timer (Windows 10 1803
// and later) waits one millisecond whatever the tick. Where the system has
// none, the timer resolution is raised to 1 ms for as long as the pause
// object lives, and put back when it goes, on every way out of the upload.
#include <windows.h>

class MillisecondPause {
public:
    MillisecondPause();
    ~MillisecondPause();
    MillisecondPause(const MillisecondPause&) = delete;
    MillisecondPause& operator=(const MillisecondPause&) = delete;

    void Wait();
    // True when the high-resolution timer is in use.
    bool HighResolution() const { return m_timer != nullptr; }

private:
    HANDLE m_timer = nullptr;
    bool m_raisedResolution = false;
};
