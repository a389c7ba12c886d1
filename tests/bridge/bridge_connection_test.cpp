// The bridge end to end: real pseudo-terminal pairs, the simulated camera, the transfer
// thread, and the connection operations with a recording user interface.
#include "bridge_camera_config.h"
#include "bridge_pair_fixture.h"
#include "cl_serial_api.h"
#include "cl_serial_port.h"
#include "pty_rig_command.h"
#include "scratch_files.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

using namespace clser;
using namespace clser::test;
using namespace std::chrono_literals;

namespace {

class BridgeConnectionTest : public BridgePairTest {
protected:
    BridgeConnectionTest() : BridgePairTest("COM21", "TARVCOM21") {}

    void configure(int clPort, const char* lineSettings = nullptr)
    {
        ConnectionSettings& s = BridgePairTest::configure(clPort);
        if (lineSettings)
            s.setLine(parseLineSettings(lineSettings));
    }

    // The running connection's flag, false when there is no connection.
    bool connectionError() { return controller_->connection() && controller_->connection()->connectionError(); }

    bool waitForConnectionError() { return waitUntil([&] { return connectionError(); }, 5000ms); }

    // The watch has ended the connection and told the user.
    void expectEndedByTheWatch()
    {
        controller_->onStatusTimer();
        EXPECT_FALSE(controller_->connected());
        EXPECT_FALSE(controller_->hasConnection());
        EXPECT_FALSE(ui_.menusConnected);
        EXPECT_FALSE(ui_.trayConnected);
        EXPECT_FALSE(ui_.timerRunning);
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].text, "Connection error!");
        EXPECT_EQ(ui_.messages[0].caption, "");
        EXPECT_EQ(ui_.messages[0].type, static_cast<unsigned>(MB_ICONEXCLAMATION));
    }

};

std::string pattern(size_t n, unsigned seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 131 + seed + (i >> 8)) & 0xFF);
    return s;
}

TEST_F(BridgeConnectionTest, CommandAndAnswerCrossTheBridge)
{
    configure(kAnsweringCamera);
    ASSERT_EQ(controller_->connectBridge(), 1);
    EXPECT_TRUE(controller_->connected());
    EXPECT_TRUE(ui_.menusConnected);
    EXPECT_TRUE(ui_.trayConnected);
    EXPECT_TRUE(ui_.timerRunning);
    EXPECT_EQ(ui_.settingsHandedOver, 1);
    EXPECT_GE(ui_.statusUpdates, 1);
    EXPECT_TRUE(ui_.messages.empty());

    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(user_.write("PING\r"));
        EXPECT_EQ(user_.read(6, 2000), "PONG\r\n") << "round " << i;
    }

    controller_->disconnectBridge();
    EXPECT_FALSE(controller_->connected());
    EXPECT_FALSE(controller_->hasConnection());
    EXPECT_FALSE(ui_.menusConnected);
    EXPECT_FALSE(ui_.trayConnected);
    EXPECT_FALSE(ui_.timerRunning);
    EXPECT_TRUE(ui_.trace.lines().empty()) << "echo off and no failures: no trace lines";
}

// The same traffic in both transfer modes, and in the low-latency mode also behind a
// camera library whose read time-outs end on a system tick.
struct BulkCase {
    const char* name;
    bool lowLatency;
    bool tickCamera;
    bool otherMaker = false;  // the cameras behind another maker's library
};

class BulkTransferTest : public BridgeConnectionTest, public ::testing::WithParamInterface<BulkCase> {
protected:
    void configure(int clPort)
    {
        BridgeConnectionTest::configure(clPort, "921600,N,8,1");
        controller_->settings().lowLatency = GetParam().lowLatency;
        controller_->settings().clLibrary = GetParam().otherMaker ? kOtherMakerLibrary : "";
    }
    int camera(int exact, int tick, int otherMaker) const
    {
        return GetParam().otherMaker ? otherMaker : GetParam().tickCamera ? tick : exact;
    }
};

INSTANTIATE_TEST_SUITE_P(Modes, BulkTransferTest,
                         ::testing::Values(BulkCase{"Default", false, false}, BulkCase{"LowLatency", true, false},
                                           BulkCase{"LowLatencyTickCamera", true, true},
                                           BulkCase{"OtherMaker", false, false, true},
                                           BulkCase{"OtherMakerLowLatency", true, false, true}),
                         [](const ::testing::TestParamInfo<BulkCase>& info) { return info.param.name; });

TEST_P(BulkTransferTest, LargeBlocksArriveCompleteAndInOrder)
{
    // Camera to COM: the camera sends 64 KiB at the line rate into its finite receive
    // buffer; the bridge keeps up, so nothing overflows there, unless a busy machine does
    // not run it for 90 ms: then exactly what the grabber dropped is missing.
    configure(camera(kStreamingCamera, kTickStreamingCamera, kOtherStreamingCamera));
    ASSERT_EQ(controller_->connectBridge(), 1);
    ASSERT_TRUE(user_.write("DUMP\r"));
    const std::string dump = user_.read(kDumpBytes, 3000);
    const size_t dropped = std::stoul("0" + readTextFile(streamingCameraOverflowLog()));
    ASSERT_EQ(dump.size() + dropped, static_cast<size_t>(kDumpBytes)) << dropped << " dropped by the grabber";
    for (size_t k = 0; k < dump.size() && dropped == 0; ++k)
        ASSERT_EQ(static_cast<uint8_t>(dump[k]), k & 0xFF) << "at byte " << k;
    if (dropped > 0)
        std::printf("[observed] the grabber dropped %zu bytes: the bridge was not run in time\n", dropped);
    controller_->disconnectBridge();

    // COM to camera and back at the line rate, written all at once while the echo is
    // read: every byte comes back in order, and the camera received exactly what was
    // written.
    const std::string receiveLog = echoCameraReceiveLog();
    DeleteFileA(receiveLog.c_str());
    configure(camera(kLineEchoCamera, kTickLineEchoCamera, kOtherLineEchoCamera));
    ASSERT_EQ(controller_->connectBridge(), 1);
    const std::string sent = pattern(65536, 7);
    bool written = false;
    std::thread writer([&] { written = user_.write(sent); });
    const std::string echoed = user_.read(sent.size(), 10000);
    writer.join();
    EXPECT_TRUE(written);
    EXPECT_EQ(echoed.size(), sent.size());
    EXPECT_TRUE(echoed == sent) << "echoed bytes differ from the sent ones";
    controller_->disconnectBridge();
    EXPECT_TRUE(readTextFile(receiveLog) == sent) << "the camera did not receive exactly the sent bytes";
    EXPECT_TRUE(ui_.trace.lines().empty());
}

TEST_F(BridgeConnectionTest, UserSidePausingWhileBytesFlowLosesNothingAndKeepsTheConnection)
{
    // The user's program stops reading for a while: the queues towards it fill, the
    // bridge's COM writes take part of a block or nothing, and go on once it reads again.
    const std::string receiveLog = echoCameraReceiveLog();
    DeleteFileA(receiveLog.c_str());
    configure(kEchoCamera);
    ASSERT_EQ(controller_->connectBridge(), 1);
    const std::string sent = pattern(256 * 1024, 11);
    bool written = false;
    std::thread writer([&] { written = user_.write(sent); });
    std::string echoed = user_.read(16 * 1024, 5000);
    std::this_thread::sleep_for(1500ms);  // the pause: well within the bridge's retries
    echoed += user_.read(sent.size() - echoed.size(), 8000);
    writer.join();
    EXPECT_TRUE(written);
    ASSERT_EQ(echoed.size(), sent.size());
    EXPECT_TRUE(echoed == sent) << "echoed bytes differ from the sent ones";

    controller_->onStatusTimer();
    EXPECT_TRUE(controller_->connected());
    EXPECT_TRUE(ui_.messages.empty());
    const auto lines = ui_.trace.lines();
    for (const std::string& line : lines)
        EXPECT_EQ(line.rfind("Retry after TotalBytesWritten: ", 0), 0u) << line;
    std::printf("[observed] user side paused 1.5 s during 256 KiB: %zu retry lines, every byte back\n", lines.size());
    controller_->disconnectBridge();
    EXPECT_TRUE(readTextFile(receiveLog) == sent) << "the camera did not receive exactly the sent bytes";
}

TEST_F(BridgeConnectionTest, EchoTracesEveryBlockInBothDirections)
{
    configure(kAnsweringCamera);
    controller_->toggleEcho();
    ASSERT_TRUE(controller_->settings().echo);
    ASSERT_EQ(controller_->connectBridge(), 1);
    ASSERT_TRUE(user_.write("PING\r"));
    EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");
    ASSERT_TRUE(ui_.trace.waitForLines(4, 2000ms));
    const auto lines = ui_.trace.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "To ClSer:");
    EXPECT_EQ(lines[1], "50[P] 49[I] 4e[N] 47[G] d[.] ");
    EXPECT_EQ(lines[2], "To Com:");
    EXPECT_EQ(lines[3], "50[P] 4f[O] 4e[N] 47[G] d[.] a[.] ");

    // Echo switched off while running: the next block is not traced.
    controller_->toggleEcho();
    ASSERT_TRUE(user_.write("PING\r"));
    EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");
    EXPECT_EQ(ui_.trace.lines().size(), 4u);
}

TEST_F(BridgeConnectionTest, StopDuringABlockedComReadEndsWithinOnePass)
{
    configure(kAnsweringCamera);
    ASSERT_EQ(controller_->connectBridge(), 1);
    // A round trip: the thread is in its passes, waiting in the COM read most of the time.
    ASSERT_TRUE(user_.write("PING\r"));
    ASSERT_EQ(user_.read(6, 2000), "PONG\r\n");
    const auto start = std::chrono::steady_clock::now();
    controller_->disconnectBridge();
    const auto took = std::chrono::steady_clock::now() - start;
    // One pass is one COM read of 100 ms and one Camera Link read of 10 ms; a loose bound.
    EXPECT_LT(took, 1500ms);
    EXPECT_TRUE(clPortIsFree(kAnsweringCamera));
    EXPECT_TRUE(comPortIsFree("TARVCOM21"));
}

// A camera that never stops sending must not hold up the operations that stop the
// transfer: Disconnect, the program's exit (the controller goes), and a reconnect.
TEST_F(BridgeConnectionTest, StreamingCameraLeavesTheStopPrompt)
{
    for (const char* stop : {"disconnect", "exit", "reconnect", "disconnect, the user side draining"}) {
        SCOPED_TRACE(stop);
        auto controller = std::make_unique<BridgeController>(ui_, std::nullopt);
        ConnectionSettings& s = controller->settings();
        s.bridgePortName = "TARVCOM21";
        s.userPortName = "COM21";
        s.clPortIndex = kStreamingCamera;
        s.setLine(parseLineSettings("921600,N,8,1"));
        ASSERT_EQ(controller->connectBridge(), 1);
        ASSERT_TRUE(user_.write("STREAM\r"));
        ASSERT_EQ(user_.read(32 * 1024, 3000).size(), 32u * 1024) << "the camera streams";
        // A user's program that takes one byte now and then: every COM write moves a
        // little, so its retries never run out; the queues are full before the stop.
        std::atomic<bool> draining{stop == std::string("disconnect, the user side draining")};
        std::thread drain([&] {
            while (draining) {
                user_.read(1, 100);
                std::this_thread::sleep_for(100ms);
            }
        });
        if (draining)
            std::this_thread::sleep_for(1500ms);
        const auto start = std::chrono::steady_clock::now();
        if (stop == std::string("disconnect") || draining) {
            controller->disconnectBridge();
        } else if (stop == std::string("exit")) {
            controller.reset();
        } else {
            ui_.nextAnswer = IDYES;
            ConnectionSettings slower = controller->settings();
            slower.line.baudRate = 115200;
            controller->reconfigure(slower);
            EXPECT_TRUE(controller->connected());
            controller->disconnectBridge();
        }
        const auto took = std::chrono::steady_clock::now() - start;
        draining = false;
        drain.join();
        EXPECT_LT(took, 1500ms);
        EXPECT_TRUE(clPortIsFree(kStreamingCamera));
        EXPECT_TRUE(comPortIsFree("TARVCOM21"));
        user_.read(1 << 22, 300);  // what was still on its way
        ui_.messages.clear();
    }
}

// Every failure that ends the transfer thread ends the connection through the watch:
// the user hears of it, and the status and tray no longer say connected.
struct ThreadEndingFailure {
    const char* name;
    int camera;
    const char* line;
    const char* library = "";
};

TEST_F(BridgeConnectionTest, FailuresThatEndTheTransferEndTheConnection)
{
    const ThreadEndingFailure rows[] = {
        {"short Camera Link write", kShortWriteCamera, "Error writing to clser interface   error code: -5"},
        {"Camera Link write refused", kWriteErrorCamera, "Error writing to clser interface   error code: -10006"},
        {"another maker's write refused, with its text", kOtherWriteErrorCamera,
         "Error writing to clser interface   error code: -10006 (LRK: the port is not open)", kOtherMakerLibrary},
    };
    for (const ThreadEndingFailure& row : rows) {
        SCOPED_TRACE(row.name);
        ui_.trace.clear();
        ui_.messages.clear();
        configure(row.camera);
        controller_->settings().clLibrary = row.library;
        ASSERT_EQ(controller_->connectBridge(), 1);
        // The writes that succeed are echoed; the failing one ends the thread.
        for (int i = 0; i < 4 && ui_.trace.lines().empty(); ++i) {
            ASSERT_TRUE(user_.write("PING\r"));
            user_.read(5, 500);
        }
        ASSERT_TRUE(ui_.trace.waitForLines(1, 3000ms));
        EXPECT_EQ(ui_.trace.lines(), std::vector<std::string>{row.line});
        ASSERT_TRUE(waitForConnectionError());
        expectEndedByTheWatch();
        EXPECT_TRUE(*row.library || clPortIsFree(row.camera));
        EXPECT_TRUE(comPortIsFree("TARVCOM21"));
    }
}

// Starts nothing and says so, as CreateThread does when it fails.
HANDLE failingThreadStart(LPTHREAD_START_ROUTINE, void*, DWORD*)
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

TEST_F(BridgeConnectionTest, FailedTransferThreadStartFailsTheConnectAndClosesBothPorts)
{
    configure(kAnsweringCamera);
    controller_->setThreadStarter(failingThreadStart);
    EXPECT_EQ(controller_->connectBridge(), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "Cannot start the transfer between the ports\nError code: -12");
    EXPECT_FALSE(controller_->connected());
    EXPECT_FALSE(controller_->hasConnection());
    EXPECT_FALSE(ui_.menusSet);
    EXPECT_FALSE(ui_.traySet);
    EXPECT_TRUE(clPortIsFree(kAnsweringCamera));
    EXPECT_TRUE(comPortIsFree("TARVCOM21"));
}

TEST_F(BridgeConnectionTest, MissingComPortReportsMinusTwoAndClosesTheCameraLinkPort)
{
    configure(kAnsweringCamera);
    controller_->settings().bridgePortName = "TARVCOM29";
    EXPECT_EQ(controller_->connectBridge(), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "Cannot open the serial port\nError code: -2");
    EXPECT_EQ(ui_.messages[0].caption, "");
    EXPECT_EQ(ui_.messages[0].type, static_cast<unsigned>(MB_OK));
    EXPECT_FALSE(controller_->connected());
    EXPECT_FALSE(controller_->hasConnection());
    EXPECT_FALSE(ui_.menusSet) << "a failed connect leaves the menus alone";
    EXPECT_TRUE(clPortIsFree(kAnsweringCamera));
}

// A Camera Link port that cannot be had fails the connect with one box; what the status
// alone does not explain (the library, the rates the port has) is also a trace line.
struct CameraLinkRefusal {
    const char* library;
    int camera;
    const char* line;
    const char* text;  // the box's, and the trace line's when it has one
    bool held = false; // the port is held by another reference first
    bool traced = false;
};

TEST_F(BridgeConnectionTest, RefusedCameraLinkPortFailsTheConnectWithItsReason)
{
    const CameraLinkRefusal rows[] = {
        {"", kSlowLineCamera, "115200,N,8,1", "Connecting to CamaraLink port failed\nError code: -10008"},
        {kOtherMakerLibrary, kOtherAnsweringCamera, "57600,N,8,1",
         "Larkspur Imaging port 0 does not run at 57600 baud; the rates it has: 9600, 19200, 38400, 115200, 921600",
         false, true},
        {kOtherMakerLibrary, kOtherAnsweringCamera, "9600,N,8,1",
         "Connecting to CamaraLink port failed\nError code: -10003 (LRK: the port is held by another program)", true},
        {"clsermissing.dll", 0, "9600,N,8,1",
         "The Camera Link serial library clsermissing.dll is not in the Camera Link library folder ", false, true},
    };
    for (const CameraLinkRefusal& row : rows) {
        SCOPED_TRACE(row.text);
        ui_.messages.clear();
        ui_.trace.clear();
        configure(row.camera, row.line);
        controller_->settings().clLibrary = row.library;
        ClSerialPort holder;
        if (row.held) {
            ASSERT_EQ(holder.open(*loadConnectionLibrary(row.library).library, row.camera, CL_BAUDRATE_9600), 0);
        }
        // Not quiet: the controller was made without a line settings text.
        EXPECT_EQ(controller_->connectBridge(), 0);
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].text.rfind(row.text, 0), 0u) << ui_.messages[0].text;
        const auto lines = ui_.trace.lines();
        if (row.traced) {
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_EQ(lines[0], ui_.messages[0].text);
        } else {
            EXPECT_TRUE(lines.empty());
        }
        EXPECT_FALSE(controller_->hasConnection());
        EXPECT_TRUE(comPortIsFree("TARVCOM21")) << "the COM port was never opened";
    }
    EXPECT_TRUE(clPortIsFree(kSlowLineCamera));
}

TEST_F(BridgeConnectionTest, NotConfiguredTouchesNoPort)
{
    for (auto [name, index] : {std::pair<const char*, int>{"T", 0}, {"TARVCOM21", -1}}) {
        ui_.messages.clear();
        configure(index);
        controller_->settings().bridgePortName = name;
        EXPECT_EQ(controller_->connectBridge(), 0);
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].text, "Port not configured, cannot create connection.");
        EXPECT_EQ(ui_.messages[0].caption, "Port Configuration");
        EXPECT_EQ(ui_.messages[0].type, static_cast<unsigned>(MB_ICONEXCLAMATION));
        EXPECT_FALSE(controller_->firstAttempt());
    }
    EXPECT_TRUE(comPortIsFree("TARVCOM21"));
}

TEST_F(BridgeConnectionTest, FirstAttemptWithLineSettingsIsQuiet)
{
    BridgeController quiet(ui_, LineSettings{});
    quiet.settings().bridgePortName = "TARVCOM29";  // no such port
    quiet.settings().clPortIndex = kAnsweringCamera;
    EXPECT_EQ(quiet.connectBridge(), 0);
    EXPECT_TRUE(ui_.messages.empty()) << "the quiet first attempt shows nothing";
    EXPECT_FALSE(quiet.firstAttempt());
    EXPECT_EQ(quiet.connectBridge(), 0);
    ASSERT_EQ(ui_.messages.size(), 1u) << "the second attempt speaks";
    EXPECT_EQ(ui_.messages[0].text, "Cannot open the serial port\nError code: -2");
}

TEST_F(BridgeConnectionTest, ConnectWhileConnectedChangesNothing)
{
    configure(kAnsweringCamera);
    ASSERT_EQ(controller_->connectBridge(), 1);
    const int updates = ui_.statusUpdates;
    EXPECT_EQ(controller_->connectBridge(), 1);
    EXPECT_EQ(ui_.statusUpdates, updates);
    // The configuration test still comes first.
    controller_->settings().clPortIndex = -1;
    EXPECT_EQ(controller_->connectBridge(), 0);
    controller_->settings().clPortIndex = kAnsweringCamera;
    ASSERT_TRUE(user_.write("PING\r"));
    EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");
}

TEST_F(BridgeConnectionTest, ReconfigureAsksOnlyWhenARunningConnectionChanged)
{
    configure(kAnsweringCamera);
    // Not connected: nothing asked.
    ConnectionSettings changed = controller_->settings();
    changed.line.baudRate = 19200;
    controller_->reconfigure(changed);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(controller_->settings().line.baudRate, 19200u);

    ASSERT_EQ(controller_->connectBridge(), 1);
    // Only echo changed: nothing asked.
    ConnectionSettings echoOnly = controller_->settings();
    echoOnly.echo = !echoOnly.echo;
    controller_->reconfigure(echoOnly);
    EXPECT_TRUE(ui_.messages.empty());

    // Declined: the running bridge keeps its old settings and says so.
    ui_.nextAnswer = IDNO;
    ConnectionSettings faster = controller_->settings();
    faster.line.baudRate = 115200;
    controller_->reconfigure(faster);
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[0].caption, "Port Configuration");
    EXPECT_EQ(ui_.messages[0].type, static_cast<unsigned>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(ui_.messages[0].text,
              "You changed the settings, do you want to reconnect now to perform the change?\nAttention: "
              "Reconnection may lead to data lost, please ensure that there is no data transmission performing.");
    EXPECT_EQ(ui_.messages[1].text,
              "The parameter was set but still not performed, please reconnect later to perform it.");
    EXPECT_TRUE(controller_->connected());

    // Accepted: disconnect and connect again with the new settings.
    ui_.messages.clear();
    ui_.nextAnswer = IDYES;
    ConnectionSettings slower = controller_->settings();
    slower.line.baudRate = 38400;
    controller_->reconfigure(slower);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_TRUE(controller_->connected());
    ASSERT_TRUE(user_.write("PING\r"));
    EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");
}

} // namespace
