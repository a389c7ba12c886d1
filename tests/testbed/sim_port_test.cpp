// When a simulated port's read gives up: at its own time-out, or, counted in system ticks,
// at the first tick boundary at or after it. Plain arithmetic on time points, no waiting.
#include "sim_port.h"

#include <gtest/gtest.h>

using namespace clser::sim;
using namespace std::chrono_literals;

namespace {

TimePoint at(std::chrono::nanoseconds sinceEpoch)
{
    return TimePoint(std::chrono::duration_cast<Clock::duration>(sinceEpoch));
}

constexpr std::chrono::nanoseconds kTick = 15625us;

} // namespace

TEST(SimPortDeadline, TickGranularTimeOutsEndAtTheNextTickBoundary)
{
    struct Row {
        const char* name;
        std::chrono::nanoseconds start;
        uint32_t timeoutMs;
        bool ticks;
        std::chrono::nanoseconds deadline;
    };
    const Row rows[] = {
        {"plain: the requested time", 1s, 1, false, 1001ms},
        {"plain: time-out 0 ends at once", 1s + 3ms, 0, false, 1s + 3ms},
        {"ticks: time-out 0 still ends at once", 1s + 3ms, 0, true, 1s + 3ms},
        {"ticks: a boundary hit exactly is kept", 1s, 1000, true, 2s},
        {"ticks: 1 ms from a boundary waits for the next one", 1s, 1, true, 1s + kTick},
        {"ticks: a boundary within a second hit exactly", 1s + 5625us, 10, true, 1s + kTick},
        {"ticks: just before a boundary", 1s + 1ms, 14, true, 1s + kTick},
        {"ticks: just before a boundary, in ns", 1s - 1ns, 1, true, 1s + kTick},
        {"ticks: 15 ms from just after a boundary", 1s + 1ns, 15, true, 1s + kTick},
        {"ticks: 1 ns past a boundary waits a whole tick more", 1s + kTick - 1ms + 1ns, 1, true, 1s + 2 * kTick},
        {"ticks: 16 ms is two ticks from a boundary", 1s, 16, true, 1s + 2 * kTick},
        {"ticks: a ten-minute time-out", 500ms, 600000, true, 600500ms},
        {"ticks: the largest time-out", 1s, 0xFFFFFFFFu, true, 4294968296875000ns},
        {"ticks: on a clock 49 days on", 4233600000000007ns, 1000, true, 4233601015625000ns},
        {"plain: the largest time-out", 1s, 0xFFFFFFFFu, false, 4294968295ms},
    };
    for (const Row& row : rows)
        EXPECT_EQ(readDeadline(at(row.start), row.timeoutMs, row.ticks), at(row.deadline)) << row.name;
}
