// The low-latency transfer mode on a running bridge: real pseudo-terminal pairs, the
// simulated camera and the transfer thread, switched through the connection settings.
#include "bridge_camera_config.h"
#include "bridge_pair_fixture.h"
#include "com_port.h"
#include "low_latency_timing.h"
#include "transfer_timings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

using namespace clser;
using namespace clser::test;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

class LowLatencyTest : public BridgePairTest {
protected:
    LowLatencyTest() : BridgePairTest("COM23", "TARVCOM23") {}

    void configure(int clPort, bool lowLatency) { BridgePairTest::configure(clPort).lowLatency = lowLatency; }

    void switchMode(bool lowLatency)
    {
        ConnectionSettings changed = controller_->settings();
        changed.lowLatency = lowLatency;
        controller_->reconfigure(changed);
    }

    // The bridge's COM port time-outs as the port reports them now.
    COMMTIMEOUTS bridgeTimeouts()
    {
        COMMTIMEOUTS t{};
        EXPECT_TRUE(controller_->connection() && GetCommTimeouts(controller_->connection()->comPort().handle(), &t));
        return t;
    }

    // Polls the bridge's port until its time-outs satisfy the condition.
    bool waitForTimeouts(const std::function<bool(const COMMTIMEOUTS&)>& ok)
    {
        for (auto until = Clock::now() + 3s; Clock::now() < until; std::this_thread::sleep_for(5ms)) {
            if (ok(bridgeTimeouts()))
                return true;
        }
        return false;
    }

    // Median milliseconds of PING round trips; every answer must be complete.
    double medianRoundTripMs(int rounds)
    {
        std::vector<double> ms;
        for (int i = 0; i < rounds; ++i) {
            const auto start = Clock::now();
            if (!user_.write("PING\r"))
                return -1;
            const std::string answer = user_.read(6, 2000);
            EXPECT_EQ(answer, "PONG\r\n") << "round " << i;
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::sort(ms.begin(), ms.end());
        return ms[ms.size() / 2];
    }

    // The read interval a freshly opened port has, before any mode touched it.
    static DWORD freshReadInterval(const char* path)
    {
        ComPort probe;
        if (probe.open(path, 9600, 0, 8, 0) != 0)
            return 0xDEADBEEF;
        COMMTIMEOUTS t{};
        GetCommTimeouts(probe.handle(), &t);
        probe.close();
        return t.ReadIntervalTimeout;
    }

};

TEST_F(LowLatencyTest, ModeSwitchesOnTheRunningConnectionAndTheDefaultKeepsItsTimeOuts)
{
    const DWORD portInterval = freshReadInterval("\\\\.\\TARVCOM23");
    ASSERT_NE(portInterval, 0xDEADBEEFu);
    const TransferTimings d;
    const LowLatencyTimings t;

    configure(kAnsweringCamera, false);
    ASSERT_EQ(controller_->connectBridge(), 1);
    ASSERT_TRUE(user_.write("PING\r"));
    ASSERT_EQ(user_.read(6, 2000), "PONG\r\n");
    // Right after an answer the next read is a short one; once the line is quiet the
    // reads wait their 100 ms again.
    EXPECT_TRUE(waitForTimeouts([&](const COMMTIMEOUTS& c) { return c.ReadTotalTimeoutConstant == d.comReadTimeoutMs; }));
    COMMTIMEOUTS now = bridgeTimeouts();
    EXPECT_EQ(now.ReadIntervalTimeout, portInterval) << "the default mode leaves the interval to the port";
    EXPECT_EQ(now.WriteTotalTimeoutConstant, 100u);

    // On: the next pass reads with the interval; nothing is asked, nothing reconnects.
    switchMode(true);
    EXPECT_TRUE(ui_.messages.empty()) << "a mode change asks for no reconnect";
    EXPECT_TRUE(controller_->connection()->lowLatency());
    ASSERT_TRUE(waitForTimeouts([&](const COMMTIMEOUTS& c) { return c.ReadIntervalTimeout == t.comReadIntervalMs; }));
    ASSERT_TRUE(user_.write("PING\r"));
    ASSERT_EQ(user_.read(6, 2000), "PONG\r\n");
    now = bridgeTimeouts();
    EXPECT_TRUE(now.ReadTotalTimeoutConstant == t.comReadAwaitTimeoutMs ||
                now.ReadTotalTimeoutConstant == t.comReadIdleTimeoutMs)
        << now.ReadTotalTimeoutConstant;
    EXPECT_EQ(now.WriteTotalTimeoutConstant, 100u) << "writes keep their time-out";

    // Off again: the port's interval comes back and the reads wait their 100 ms.
    switchMode(false);
    ASSERT_TRUE(waitForTimeouts([&](const COMMTIMEOUTS& c) {
        return c.ReadIntervalTimeout == portInterval && c.ReadTotalTimeoutConstant == d.comReadTimeoutMs;
    }));
    ASSERT_TRUE(user_.write("PING\r"));
    ASSERT_EQ(user_.read(6, 2000), "PONG\r\n");
    EXPECT_TRUE(controller_->connected());
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_TRUE(ui_.trace.lines().empty());
}

TEST_F(LowLatencyTest, RoundTripsAreMuchShorterThanTheDefaultComRead)
{
    configure(kAnsweringCamera, true);
    ASSERT_EQ(controller_->connectBridge(), 1);
    // The default mode cannot answer before its 100 ms COM read and 10 ms Camera Link
    // read have run out; a loose bound well below that (the benchmark has the figures).
    const double median = medianRoundTripMs(15);
    EXPECT_GT(median, 0.0);
    EXPECT_LT(median, 60.0);
}

TEST_F(LowLatencyTest, AnswersToCommandsSentTogetherArriveCompleteAndInOrder)
{
    configure(kAnsweringCamera, true);
    ASSERT_EQ(controller_->connectBridge(), 1);
    std::string commands, answers;
    for (int i = 0; i < 200; ++i) {
        commands += "PING\r";
        answers += "PONG\r\n";
    }
    ASSERT_TRUE(user_.write(commands));
    EXPECT_EQ(user_.read(answers.size(), 3000), answers);
}

TEST_F(LowLatencyTest, AnswerLaterThanTheCollectionWindowStillArrives)
{
    // The camera answers 50 ms after the command, well after the short reads gave up.
    configure(kLateCamera, true);
    ASSERT_EQ(controller_->connectBridge(), 1);
    const double median = medianRoundTripMs(5);
    EXPECT_GT(median, 0.0);
    EXPECT_LT(median, 1000.0);
}

TEST_F(LowLatencyTest, EchoTracesTheSameLinesAsTheDefaultMode)
{
    configure(kAnsweringCamera, true);
    controller_->toggleEcho();
    ASSERT_EQ(controller_->connectBridge(), 1);
    ASSERT_TRUE(user_.write("PING\r"));
    EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");
    // The lines of the answer are added before it is written, so all four are there.
    ASSERT_TRUE(ui_.trace.waitForLines(4, 2000ms));
    const auto lines = ui_.trace.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "To ClSer:");
    EXPECT_EQ(lines[1], "50[P] 49[I] 4e[N] 47[G] d[.] ");
    EXPECT_EQ(lines[2], "To Com:");
    EXPECT_EQ(lines[3], "50[P] 4f[O] 4e[N] 47[G] d[.] a[.] ");
}

TEST_F(LowLatencyTest, StopDuringIdleEndsWithinOnePass)
{
    for (bool afterCommand : {false, true}) {
        configure(kAnsweringCamera, true);
        ASSERT_EQ(controller_->connectBridge(), 1);
        if (afterCommand) {
            // Stopped while an answer is still awaited (the short COM reads).
            ASSERT_TRUE(user_.write("PING\r"));
            ASSERT_EQ(user_.read(6, 2000), "PONG\r\n");
        } else {
            std::this_thread::sleep_for(250ms);
        }
        const auto start = Clock::now();
        controller_->disconnectBridge();
        const auto took = Clock::now() - start;
        EXPECT_LT(took, 1500ms) << (afterCommand ? "after a command" : "idle");
        UserPort probe;
        EXPECT_TRUE(probe.open("TARVCOM23")) << "the bridge's port is closed";
    }
}

} // namespace
