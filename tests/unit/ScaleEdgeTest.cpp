#include "scaleedge.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Step {
    int v;
    float s;
    int expected;
    float remainderAfter;
};

struct ScaleEdgeCase {
    const char* name;
    std::vector<Step> steps;  // successive relayouts of one edge
};

const ScaleEdgeCase kCases[] = {
    {"a 0.4 loss is paid out on the third relayout, 0.2 kept",
     {{7, 0.2f, 1, 0.4f}, {7, 0.2f, 1, 0.8f}, {7, 0.2f, 2, 0.2f}}},
    {"a remainder of exactly 1.0 waits for the next relayout",
     {{1, 0.5f, 0, 0.5f}, {1, 0.5f, 0, 1.0f}, {1, 0.5f, 1, 0.5f}}},
    {"a negative coordinate carries a negative remainder",
     {{-7, 0.2f, -1, -0.4f}, {-7, 0.2f, -1, -0.8f}, {-7, 0.2f, -2, -0.2f}}},
    {"an exact product carries nothing", {{120, 1.5f, 180, 0.0f}, {180, 0.5f, 90, 0.0f}}},
    {"growth and shrinking share one remainder",
     {{10, 1.25f, 12, 0.5f}, {12, 1.3f, 16, 0.1f}, {16, 0.9f, 14, 0.5f}}},
};
}  // namespace

TEST(ScaleEdge, CarriesRoundingLossesAcrossRelayouts)
{
    for (const ScaleEdgeCase& c : kCases) {
        SCOPED_TRACE(c.name);
        float remainder = 0.0f;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE("relayout " + std::to_string(i + 1));
            const Step& step = c.steps[i];
            EXPECT_EQ(step.expected, ScaleEdge(step.v, step.s, remainder));
            EXPECT_NEAR(step.remainderAfter, remainder, 1e-5f);
        }
    }
}
