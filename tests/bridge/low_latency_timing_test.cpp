// The decisions of the low-latency transfer mode, without a port.
#include "low_latency_timing.h"
#include "transfer_timings.h"

#include <gtest/gtest.h>

using namespace clser;

namespace {

TEST(LowLatencyTiming, CollectingTheAnswerStopsAtTheRightMoment)
{
    const LowLatencyTimings t;
    struct Row {
        const char* shows;
        bool blockWritten;
        bool bytesCame;
        uint32_t sinceStepStartMs;
        uint32_t sinceLastBytesMs;
        bool keepGoing;
    };
    const Row rows[] = {
        {"an idle pass looks once and goes back to the COM port", false, false, 1, 1, false},
        {"after a command the answer is awaited within the window", true, false, 3, 3, true},
        {"an answer that has not begun by the end of the window waits for the next pass", true, false, 10, 10, false},
        {"a camera still sending keeps the step going past the window", true, true, 40, 1, true},
        {"the step ends once the camera was quiet for the gap", true, true, 5, 2, false},
        {"bytes the camera sends unasked are drained like an answer", false, true, 3, 0, true},
        {"unasked bytes followed by quiet end the step", false, true, 30, 5, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(keepCollectingAnswer(t, r.blockWritten, r.bytesCame, r.sinceStepStartMs, r.sinceLastBytesMs),
                  r.keepGoing)
            << r.shows;
}

TEST(LowLatencyTiming, ComReadIsShortOnlyWhileAnAnswerIsAwaited)
{
    const LowLatencyTimings t;
    struct Row {
        const char* shows;
        uint32_t sinceLastClWriteMs;
        uint32_t timeoutMs;
    };
    const Row rows[] = {
        {"nothing written yet: idle", kNoBlockWrittenYet, t.comReadIdleTimeoutMs},
        {"just written: a late answer is heard soon", 0, t.comReadAwaitTimeoutMs},
        {"still awaited at the end of the await time", t.answerAwaitMs - 1, t.comReadAwaitTimeoutMs},
        {"await time over: idle again", t.answerAwaitMs, t.comReadIdleTimeoutMs},
    };
    for (const Row& r : rows)
        EXPECT_EQ(lowLatencyComReadTimeout(t, r.sinceLastClWriteMs), r.timeoutMs) << r.shows;
}

TEST(LowLatencyTiming, WaitsStayWithinTheDefaultModesBounds)
{
    const TransferTimings d;
    const LowLatencyTimings t;
    // Idling costs the same number of passes a second as the default mode.
    EXPECT_EQ(t.comReadIdleTimeoutMs + t.clReadTimeoutMs, d.comReadTimeoutMs + d.firstClReadTimeoutMs);
    // The short reads together wait no longer for an answer than the default's first read.
    EXPECT_LE(t.answerWindowMs, d.firstClReadTimeoutMs);
    // Every wait is a blocking call with a time-out: no read of the mode returns at once.
    EXPECT_GT(t.clReadTimeoutMs, 0u);
    EXPECT_GT(t.comReadIntervalMs, 0u);
    EXPECT_GT(t.comReadAwaitTimeoutMs, 0u);
}

} // namespace
