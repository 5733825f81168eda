#pragma once
// Where the parts of the program write what happened, one event a line: the
// session record in the program, a recorder in tests. Every thread may
// write; an event is never split or mixed with another.
#include <string>

class EventLog {
public:
    virtual ~EventLog() = default;
    // One event in UTF-8, without a line end.
    virtual void Write(const std::string& line) = 0;
};
