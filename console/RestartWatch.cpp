#include "RestartWatch.h"

#include <cstdio>

namespace {
std::string Seconds(unsigned long long milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%01llu s", milliseconds / 1000, milliseconds % 1000 / 100);
    return text;
}
}  // namespace

void RestartWatch::Begin(const std::string& address, unsigned long long now)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_stage = Stage::UntilSilent;
    m_address = address;
    m_requested = now;
}

std::vector<std::string> RestartWatch::Probe(const std::string& address, bool answered, unsigned long long now)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_stage == Stage::Idle)
        return {};
    if (address != m_address) {
        m_stage = Stage::Idle;
        return {"restart watch of " + m_address + " ended: the target address is now " + address};
    }
    const unsigned long long since = now - m_requested;
    if (m_stage == Stage::UntilSilent) {
        if (!answered) {
            m_stage = Stage::UntilAnswered;
            m_silent = now;
            return {m_address + " stopped answering " + Seconds(since) + " after the restart request"};
        }
        if (since > kLimitMs) {
            m_stage = Stage::Idle;
            return {m_address + " did not stop answering within 5 minutes of the restart request: it did not restart"};
        }
        return {};
    }
    if (answered) {
        m_stage = Stage::Idle;
        return {m_address + " answered again " + Seconds(since) + " after the restart request (silent for " +
                Seconds(now - m_silent) + ")"};
    }
    if (since > kLimitMs) {
        m_stage = Stage::Idle;
        return {m_address + " did not answer again within 5 minutes of the restart request"};
    }
    return {};
}
