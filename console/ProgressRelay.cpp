#include "ProgressRelay.h"

void ProgressRelay::SetRange(int lower, int upper)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_latest.rangeSet = true;
    m_latest.lower = lower;
    m_latest.upper = upper;
}

void ProgressRelay::SetPos(int position)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_latest.positionSet = true;
    m_latest.position = position;
}

void ProgressRelay::ShowOn(CProgressCtrl& bar)
{
    Values latest;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        latest = m_latest;
    }
    if (latest.rangeSet && (!m_shown.rangeSet || latest.lower != m_shown.lower || latest.upper != m_shown.upper))
        bar.SetRange(latest.lower, latest.upper);
    if (latest.positionSet && (!m_shown.positionSet || latest.position != m_shown.position))
        bar.SetPos(latest.position);
    m_shown = latest;
}
