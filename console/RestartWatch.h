#pragma once
// What happens to a target after a restart request: how long until it
// stops answering and until it answers again. A restart that never comes
// (the controller ignored reboot.txt) or a target that does not come back
// is what an engineer on site must know, so the record says that too.
//
// The console starts the watch on its thread; the reachability worker
// reports each probe. Times are milliseconds of one steady clock.
#include <mutex>
#include <string>
#include <vector>

class RestartWatch {
public:
    // How long the watch waits for each of the two changes.
    static constexpr unsigned long long kLimitMs = 5 * 60 * 1000;

    // A restart request has reached `address` at `now`; replaces any watch
    // still running.
    void Begin(const std::string& address, unsigned long long now);
    // One probe of `address`; returns the lines to record (in UTF-8), if
    // this probe ended a stage of the watch.
    std::vector<std::string> Probe(const std::string& address, bool answered, unsigned long long now);

private:
    enum class Stage { Idle, UntilSilent, UntilAnswered };
    std::mutex m_lock;
    Stage m_stage = Stage::Idle;
    std::string m_address;
    unsigned long long m_requested = 0;
    unsigned long long m_silent = 0;
};
