#pragma once
// Where a route reports the progress of an upload: the console's progress bar.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPos(int position) = 0;
};
