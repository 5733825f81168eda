// The pause between upload chunks lasts about a millisecond, not a timer
// tick.
#include "MillisecondPause.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

double Milliseconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return ticks * 1000.0 / frequency.QuadPart;
}

TEST(MillisecondPause, LastsAboutOneMillisecond)
{
    MillisecondPause pause;
    std::vector<double> lengths;
    for (int i = 0; i < 200; ++i) {
        LARGE_INTEGER before, after;
        ::QueryPerformanceCounter(&before);
        pause.Wait();
        ::QueryPerformanceCounter(&after);
        lengths.push_back(Milliseconds(after.QuadPart - before.QuadPart));
    }
    std::sort(lengths.begin(), lengths.end());
    const double median = lengths[lengths.size() / 2];
    EXPECT_GE(median, 0.5);
    // A default timer tick lasts 15.6 ms; a busy machine may add a little.
    EXPECT_LT(median, 4.0);
}

}  // namespace
