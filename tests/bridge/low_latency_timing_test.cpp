// The decisions of the low-latency transfer mode and its precise timer, without a port.
#include "low_latency_timing.h"
#include "precise_timer.h"
#include "transfer_timings.h"

#include <gtest/gtest.h>

using namespace clser;

namespace {

TEST(LowLatencyTiming, CameraPollsAreQuickAfterTrafficAndBackOffWhenQuiet)
{
    const LowLatencyTimings t;
    struct Row {
        const char* shows;
        uint32_t sinceTrafficMs;
        uint32_t intervalMs;
    };
    const Row rows[] = {
        {"right after a command the answer is polled for at once", 0, t.pollMs},
        {"a camera answering after 50 ms is heard within a poll", 50, t.pollMs},
        {"the last moment of the quick window", t.fastWindowMs - 1, t.pollMs},
        {"just after the window: a tenth of the quiet time", t.fastWindowMs, t.fastWindowMs / 10},
        {"a camera answering after 800 ms is heard within 80 ms", 800, 80},
        {"a quiet line polls no more often than the idle interval", 5000, t.idlePollMs},
        {"hours of quiet stay at the idle interval", 0x7FFFFFFF, t.idlePollMs},
    };
    for (const Row& r : rows)
        EXPECT_EQ(cameraPollIntervalMs(t, r.sinceTrafficMs), r.intervalMs) << r.shows;

    // Chosen timings: no window (every poll backs off at once) and an idle interval
    // shorter than the quick one (the quick one wins).
    LowLatencyTimings noWindow;
    noWindow.fastWindowMs = 0;
    EXPECT_EQ(cameraPollIntervalMs(noWindow, 0), noWindow.pollMs);
    EXPECT_EQ(cameraPollIntervalMs(noWindow, 300), 30u);
    LowLatencyTimings slowPoll;
    slowPoll.pollMs = 20;
    slowPoll.idlePollMs = 5;
    EXPECT_EQ(cameraPollIntervalMs(slowPoll, 100000), 20u);
}

TEST(LowLatencyTiming, IdlePollsWakeNoMoreOftenThanTheDefaultModesPasses)
{
    const TransferTimings d;
    const LowLatencyTimings t;
    EXPECT_GE(t.idlePollMs, d.comReadTimeoutMs);
    EXPECT_GT(t.pollMs, 0u) << "every poll waits: no busy loop";
}

// Counts what the timer asks of the system.
struct CountingSystem {
    static inline bool highResolution = false;
    static inline bool periodRefused = false;
    static inline int begun = 0;
    static inline int ended = 0;
    static HANDLE createHighResolution() { return highResolution ? CreateWaitableTimerA(nullptr, FALSE, nullptr) : nullptr; }
    static HANDLE create() { return CreateWaitableTimerA(nullptr, FALSE, nullptr); }
    static UINT begin(UINT) { return periodRefused ? 97 : (++begun, 0); }
    static UINT end(UINT) { return ++ended, 0; }
    static constexpr PreciseTimerSystem system{createHighResolution, create, begin, end};
};

TEST(PreciseTimer, TakesTheOneMillisecondResolutionOnlyWithoutAHighResolutionTimerAndGivesItBack)
{
    struct Row {
        const char* shows;
        bool highResolution;
        bool periodRefused;
        int begun;
        int ended;
    };
    const Row rows[] = {
        {"a high-resolution timer needs no change of the system's resolution", true, false, 0, 0},
        {"a plain timer takes 1 ms and gives it back", false, false, 1, 1},
        {"a refused resolution is not given back", false, true, 0, 0},
    };
    for (const Row& r : rows) {
        CountingSystem::highResolution = r.highResolution;
        CountingSystem::periodRefused = r.periodRefused;
        CountingSystem::begun = CountingSystem::ended = 0;
        {
            PreciseTimer timer(CountingSystem::system);
            ASSERT_TRUE(timer.valid()) << r.shows;
            EXPECT_EQ(timer.highResolution(), r.highResolution) << r.shows;
            ASSERT_TRUE(timer.arm(1)) << r.shows;
            EXPECT_EQ(WaitForSingleObject(timer.handle(), 5000), WAIT_OBJECT_0) << r.shows;
            EXPECT_EQ(CountingSystem::ended, 0) << r.shows;
        }
        EXPECT_EQ(CountingSystem::begun, r.begun) << r.shows;
        EXPECT_EQ(CountingSystem::ended, r.ended) << r.shows;
    }
}

} // namespace
