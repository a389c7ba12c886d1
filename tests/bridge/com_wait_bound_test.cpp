// How long a COM read or write is waited for before it is cancelled.
#include "com_wait_bound.h"

#include <gtest/gtest.h>

using namespace clser;

namespace {

TEST(ComWaitBound, WaitsWellPastTheTotalTimeOutAndForeverWithoutOne)
{
    struct Row {
        const char* shows;
        uint32_t multiplierMs;
        uint32_t constantMs;
        uint32_t bytes;
        uint32_t boundMs;
    };
    const Row rows[] = {
        {"no total time-out: the operation waits for its count", 0, 0, 1024, kNoWaitBound},
        {"the 100 ms read", 0, 100, 1024, 100 + kComTimeoutGraceMs},
        {"the short read after camera bytes", 0, 10, 1024, 10 + kComTimeoutGraceMs},
        {"a multiplier counts every byte", 2, 100, 1024, 2048 + 100 + kComTimeoutGraceMs},
        {"a multiplier alone is a total time-out", 1, 0, 10, 10 + kComTimeoutGraceMs},
        {"a total beyond 32 bits stays just short of forever", 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, kNoWaitBound - 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(comWaitBoundMs(r.multiplierMs, r.constantMs, r.bytes), r.boundMs) << r.shows;
}

} // namespace
