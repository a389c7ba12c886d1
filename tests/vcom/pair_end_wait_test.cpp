// The five-minute wait for a new pair's ends, with the attempts, the output and the
// pauses replaced, so that all 300 attempts run at once.
#include "pair_end_wait.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace clser::vcom;

namespace {

struct Recorded {
    std::vector<std::string> printed;
    int attempts = 0;
    int pauses = 0;
};

bool runWait(int opensAtAttempt, Recorded* r)
{
    PairEndWaitSteps steps{[=] { return ++r->attempts == opensAtAttempt; },
                           [=](const std::string& s) { r->printed.push_back(s); }, [=] { ++r->pauses; }};
    return waitForPairEnds(kPairEndAttempts, steps);
}

const std::string kWaiting = "\rWaiting for install, timeout up to 5 minutes: ";

TEST(PairEndWait, EndsThatNeverOpenCountDownFromFiveMinutesToOneSecond)
{
    Recorded r;
    EXPECT_FALSE(runWait(-1, &r));
    EXPECT_EQ(r.attempts, 300);
    EXPECT_EQ(r.pauses, 300);
    ASSERT_EQ(r.printed.size(), 300u);
    EXPECT_EQ(r.printed.front(), kWaiting + "05:00");
    EXPECT_EQ(r.printed[1], kWaiting + "04:59");
    EXPECT_EQ(r.printed[59], kWaiting + "04:01");
    EXPECT_EQ(r.printed[60], kWaiting + "04:00");
    EXPECT_EQ(r.printed[295], kWaiting + "00:05");
    EXPECT_EQ(r.printed.back(), kWaiting + "00:01");
}

TEST(PairEndWait, EndsOpeningAtTheThirdAttemptStopTheCountdown)
{
    Recorded r;
    EXPECT_TRUE(runWait(3, &r));
    EXPECT_EQ(r.pauses, 2);
    EXPECT_EQ(r.printed,
              (std::vector<std::string>{kWaiting + "05:00", kWaiting + "04:59", "\nInstall succesfully done.\n"}));
}

TEST(PairEndWait, EndsOpenAtOnce)
{
    Recorded r;
    EXPECT_TRUE(runWait(1, &r));
    EXPECT_EQ(r.pauses, 0);
    EXPECT_EQ(r.printed, std::vector<std::string>{"\nInstall succesfully done.\n"});
}

} // namespace
