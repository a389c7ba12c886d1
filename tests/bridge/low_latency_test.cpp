// The low-latency transfer mode on a running bridge: real pseudo-terminal pairs, the
// simulated camera (with exact and with tick-granular read time-outs) and both of the
// mode's threads, switched through the connection settings.
#include "bridge_camera_config.h"
#include "bridge_pair_fixture.h"
#include "precise_timer.h"
#include "user_port.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

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

    void expectPingAnswered()
    {
        ASSERT_TRUE(user_.write("PING\r"));
        EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");
    }
};

// Which time-outs each mode's reads use is the COM port's own business (ComPortTest)
// and the transfer's (TransferStepsTest); here the mode changes on a running connection.
TEST_F(LowLatencyTest, ModeSwitchesOnTheRunningConnection)
{
    configure(kAnsweringCamera, false);
    ASSERT_EQ(controller_->connectBridge(), 1);
    expectPingAnswered();
    // On: nothing is asked, nothing reconnects.
    switchMode(true);
    EXPECT_TRUE(ui_.messages.empty()) << "a mode change asks for no reconnect";
    expectPingAnswered();
    // Off again, and on once more: the mode can be taken up again on the same connection.
    switchMode(false);
    expectPingAnswered();
    switchMode(true);
    expectPingAnswered();
    EXPECT_TRUE(controller_->connected());
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_TRUE(ui_.trace.lines().empty());
}

TEST_F(LowLatencyTest, AnswersToCommandsSentTogetherArriveCompleteAndInOrderWithEitherCamera)
{
    for (const int camera : {kAnsweringCamera, kTickAnsweringCamera}) {
        SCOPED_TRACE(camera == kAnsweringCamera ? "exact time-outs" : "tick-granular time-outs");
        configure(camera, true);
        ASSERT_EQ(controller_->connectBridge(), 1);
        std::string commands, answers;
        for (int i = 0; i < 200; ++i) {
            commands += "PING\r";
            answers += "PONG\r\n";
        }
        ASSERT_TRUE(user_.write(commands));
        EXPECT_EQ(user_.read(answers.size(), 5000), answers);
        controller_->disconnectBridge();
    }
}

TEST_F(LowLatencyTest, AnswerLaterThanTheQuickPollsStillArrives)
{
    // The camera answers 50 ms after the command.
    configure(kLateCamera, true);
    ASSERT_EQ(controller_->connectBridge(), 1);
    for (int i = 0; i < 3; ++i)
        expectPingAnswered();
}

TEST_F(LowLatencyTest, StopIsPromptWhileIdleAndDuringTraffic)
{
    struct Row {
        const char* when;
        int camera;
        const char* command;
    };
    const Row rows[] = {
        {"idle", kAnsweringCamera, nullptr},
        {"right after an answer", kAnsweringCamera, "PING\r"},
        {"while the camera streams", kStreamingCamera, "STREAM\r"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.when);
        configure(r.camera, true);
        controller_->settings().setLine(parseLineSettings("921600,N,8,1"));
        ASSERT_EQ(controller_->connectBridge(), 1);
        if (r.command) {
            ASSERT_TRUE(user_.write(r.command));
            EXPECT_FALSE(user_.read(6, 2000).empty());
        } else {
            // An idle connection whose polls have backed off to their longest wait.
            std::this_thread::sleep_for(700ms);
        }
        const auto start = Clock::now();
        controller_->disconnectBridge();
        EXPECT_LT(Clock::now() - start, 1500ms);
        EXPECT_TRUE(comPortIsFree(bridgePortName_)) << "the bridge's port is closed";
        EXPECT_TRUE(clPortIsFree(r.camera)) << "the Camera Link port is closed";
        // What the camera still sent is read away before the next row.
        user_.read(1 << 30, 300);
    }
}

// Counts what the connection's precise timer asks of the system, with no
// high-resolution timer to be had, as on systems before them.
struct PlainTimerSystem {
    static inline std::atomic<int> begun{0};
    static inline std::atomic<int> ended{0};
    static HANDLE none() { return nullptr; }
    static HANDLE create() { return CreateWaitableTimerA(nullptr, FALSE, nullptr); }
    static UINT begin(UINT ms) { return ++begun, systemPreciseTimer().beginPeriod(ms); }
    static UINT end(UINT ms) { return ++ended, systemPreciseTimer().endPeriod(ms); }
    static constexpr PreciseTimerSystem system{none, create, begin, end};
};

TEST_F(LowLatencyTest, TimerResolutionIsTakenForTheModeAndGivenBackAtDisconnect)
{
    controller_->setPreciseTimerSystem(PlainTimerSystem::system);
    configure(kAnsweringCamera, true);
    ASSERT_EQ(controller_->connectBridge(), 1);
    expectPingAnswered();
    EXPECT_EQ(PlainTimerSystem::begun, 1);
    EXPECT_EQ(PlainTimerSystem::ended, 0) << "held while the mode runs";
    controller_->disconnectBridge();
    EXPECT_EQ(PlainTimerSystem::begun, 1);
    EXPECT_EQ(PlainTimerSystem::ended, 1) << "given back at disconnect";

    // Leaving the mode on a running connection gives it back too.
    configure(kAnsweringCamera, true);
    ASSERT_EQ(controller_->connectBridge(), 1);
    expectPingAnswered();
    switchMode(false);
    EXPECT_TRUE(waitUntil([] { return PlainTimerSystem::ended == 2; }, 3000ms));
    expectPingAnswered();
    EXPECT_EQ(PlainTimerSystem::begun, 2);
}

} // namespace
