#pragma once
// A session record for tests: keeps every line in memory.
#include "EventLog.h"

#include <mutex>
#include <string>
#include <vector>

class RecordedLines : public EventLog {
public:
    void Write(const std::string& line) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_lines.push_back(line);
    }
    std::vector<std::string> Lines() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_lines;
    }
    // Every line, each ended by "\n".
    std::string Text() const
    {
        std::string text;
        for (const std::string& line : Lines())
            text += line + "\n";
        return text;
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_lines;
};
