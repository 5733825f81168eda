#pragma once
// The progress of an upload that runs on a worker thread, held until the
// console's thread shows it: the worker never waits for the window, and the
// window is told only what changed since it last looked.
#include "Controls.h"
#include "ProgressSink.h"

#include <mutex>

class ProgressRelay : public ProgressSink {
public:
    // On the worker thread.
    void SetRange(int lower, int upper) override;
    void SetPos(int position) override;
    // On the window thread: brings the bar up to date.
    void ShowOn(CProgressCtrl& bar);

private:
    struct Values {
        bool rangeSet = false;
        int lower = 0;
        int upper = 0;
        bool positionSet = false;
        int position = 0;
    };
    std::mutex m_lock;
    Values m_latest;  // guarded by m_lock
    Values m_shown;   // window thread only
};
