// After a restart request: when the target stops answering, when it answers
// again, and when it does neither within five minutes.
#include "RestartWatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
struct Probe {
    unsigned long long at;  // ms after the request
    const char* address;
    bool answered;
};

std::vector<std::string> Watch(const std::vector<Probe>& probes)
{
    RestartWatch watch;
    constexpr unsigned long long kRequest = 1000000;
    watch.Begin("127.0.0.2", kRequest);
    std::vector<std::string> lines;
    for (const Probe& p : probes)
        for (const std::string& line : watch.Probe(p.address, p.answered, kRequest + p.at))
            lines.push_back(line);
    return lines;
}

TEST(RestartWatch, RecordsTheStagesOfARestart)
{
    const struct {
        const char* what;
        std::vector<Probe> probes;
        std::vector<std::string> lines;
    } cases[] = {
        {"silent, then back",
         {{100, "127.0.0.2", true}, {2300, "127.0.0.2", false}, {3400, "127.0.0.2", false},
          {35100, "127.0.0.2", true}, {35200, "127.0.0.2", true}, {36000, "127.0.0.2", false}},
         {"127.0.0.2 stopped answering 2.3 s after the restart request",
          "127.0.0.2 answered again 35.1 s after the restart request (silent for 32.8 s)"}},
        {"never silent",
         {{1000, "127.0.0.2", true}, {300000, "127.0.0.2", true}, {300100, "127.0.0.2", true},
          {300200, "127.0.0.2", false}},
         {"127.0.0.2 did not stop answering within 5 minutes of the restart request: it did not restart"}},
        {"never back",
         {{500, "127.0.0.2", false}, {299000, "127.0.0.2", false}, {300600, "127.0.0.2", false},
          {301000, "127.0.0.2", true}},
         {"127.0.0.2 stopped answering 0.5 s after the restart request",
          "127.0.0.2 did not answer again within 5 minutes of the restart request"}},
        {"another address",
         {{500, "127.0.0.9", false}, {600, "127.0.0.2", false}},
         {"restart watch of 127.0.0.2 ended: the target address is now 127.0.0.9"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Watch(c.probes), c.lines) << c.what;
}

TEST(RestartWatch, SaysNothingWithoutARestartRequest)
{
    RestartWatch watch;
    EXPECT_TRUE(watch.Probe("127.0.0.2", false, 5).empty());
    EXPECT_TRUE(watch.Probe("127.0.0.2", true, 10).empty());
}
}  // namespace
