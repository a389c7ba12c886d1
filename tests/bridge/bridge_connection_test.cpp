// The bridge end to end: real pseudo-terminal pairs, the simulated camera, the transfer
// thread, and the connection operations with a recording user interface.
#include "bridge_camera_config.h"
#include "bridge_controller.h"
#include "bridge_test_support.h"
#include "cl_serial_api.h"
#include "pty_rig.h"
#include "recording_bridge_ui.h"
#include "transfer_state.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace clser;
using namespace clser::test;
using namespace std::chrono_literals;

namespace {

class BridgeConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pair_ = std::make_unique<testbed::ScopedPtyPair>("COM21", "TARVCOM21");
        ASSERT_TRUE(pair_->ok()) << pair_->error();
        ASSERT_TRUE(user_.open("COM21"));
    }

    void TearDown() override
    {
        controller_.disconnectBridge();
        user_.close();
        pair_.reset();
    }

    void configure(int clPort, const char* lineSettings = nullptr)
    {
        ConnectionSettings& s = controller_.settings();
        s.bridgePortName = "TARVCOM21";
        s.userPortName = "COM21";
        s.clPortIndex = clPort;
        if (lineSettings)
            parseLineSettings(lineSettings, s);
    }

    // The Camera Link port is closed again when another open of it succeeds.
    static bool clPortIsFree(uint32_t index)
    {
        void* ref = nullptr;
        if (clSerialInit(index, &ref) != 0)
            return false;
        clSerialClose(ref);
        return true;
    }

    static bool comPortIsFree(const char* name)
    {
        UserPort probe;
        return probe.open(name);
    }

    RecordingBridgeUi ui_;
    BridgeController controller_{ui_, ""};
    UserPort user_;
    std::unique_ptr<testbed::ScopedPtyPair> pair_;
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
    ASSERT_EQ(controller_.connectBridge(), 1);
    EXPECT_TRUE(controller_.connected());
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

    controller_.disconnectBridge();
    EXPECT_FALSE(controller_.connected());
    EXPECT_FALSE(controller_.hasConnection());
    EXPECT_FALSE(ui_.menusConnected);
    EXPECT_FALSE(ui_.trayConnected);
    EXPECT_FALSE(ui_.timerRunning);
    EXPECT_TRUE(ui_.trace.lines().empty()) << "echo off and no failures: no trace lines";
}

// The same traffic in both transfer modes.
class BulkTransferTest : public BridgeConnectionTest, public ::testing::WithParamInterface<bool> {
protected:
    void configure(int clPort)
    {
        BridgeConnectionTest::configure(clPort);
        controller_.settings().lowLatency = GetParam();
    }
};

INSTANTIATE_TEST_SUITE_P(Modes, BulkTransferTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "LowLatency" : "Default";
                         });

TEST_P(BulkTransferTest, LargeBlocksArriveCompleteAndInOrder)
{
    // Camera to COM: the camera sends 64 KiB on request.
    configure(kAnsweringCamera);
    ASSERT_EQ(controller_.connectBridge(), 1);
    ASSERT_TRUE(user_.write("DUMP\r"));
    const std::string dump = user_.read(kDumpBytes, 3000);
    ASSERT_EQ(dump.size(), static_cast<size_t>(kDumpBytes));
    controller_.disconnectBridge();

    // COM to camera and back: every byte written comes back from an echoing camera,
    // and the camera received exactly what was written.
    const std::string receiveLog = echoCameraReceiveLog();
    DeleteFileA(receiveLog.c_str());
    configure(kEchoCamera);
    ASSERT_EQ(controller_.connectBridge(), 1);
    const std::string sent = pattern(65536, 7);
    // One block in flight at a time, as a terminal program talks: each is read back
    // before the next is sent, so no queue on the way fills up.
    std::string echoed;
    for (size_t off = 0; off < sent.size(); off += 4096) {
        ASSERT_TRUE(user_.write(sent.substr(off, 4096))) << "at " << off;
        echoed += user_.read(4096, 5000);
        ASSERT_EQ(echoed.size(), off + 4096) << "echo stalled at " << off;
    }
    EXPECT_EQ(echoed.size(), sent.size());
    EXPECT_TRUE(echoed == sent) << "echoed bytes differ from the sent ones";
    controller_.disconnectBridge();
    EXPECT_TRUE(fileContent(receiveLog) == sent) << "the camera did not receive exactly the sent bytes";
}

TEST_F(BridgeConnectionTest, EchoTracesEveryBlockInBothDirections)
{
    configure(kAnsweringCamera);
    controller_.toggleEcho();
    ASSERT_TRUE(controller_.settings().echo);
    ASSERT_EQ(controller_.connectBridge(), 1);
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
    controller_.toggleEcho();
    ASSERT_TRUE(user_.write("PING\r"));
    EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");
    EXPECT_EQ(ui_.trace.lines().size(), 4u);
}

TEST_F(BridgeConnectionTest, StopDuringABlockedComReadEndsWithinOnePass)
{
    configure(kAnsweringCamera);
    ASSERT_EQ(controller_.connectBridge(), 1);
    std::this_thread::sleep_for(250ms);
    const auto start = std::chrono::steady_clock::now();
    controller_.disconnectBridge();
    const auto took = std::chrono::steady_clock::now() - start;
    // One pass is one COM read of 100 ms and one Camera Link read of 10 ms; a loose bound.
    EXPECT_LT(took, 1500ms);
    EXPECT_FALSE(transferState().comPort.isOpen());
    EXPECT_TRUE(clPortIsFree(kAnsweringCamera));
    EXPECT_TRUE(comPortIsFree("TARVCOM21"));
}

TEST_F(BridgeConnectionTest, ComWriteThatWritesNothingRetriesThenFailsTheConnection)
{
    configure(kSlowCamera);
    ASSERT_EQ(controller_.connectBridge(), 1);
    ASSERT_TRUE(user_.write("PING\r"));
    std::this_thread::sleep_for(400ms);  // the command reaches the camera
    // The user side stops taking bytes and the bridge's queue is full before the
    // camera's answer comes: every COM write then writes nothing.
    ASSERT_TRUE(ptyRig("stall", "COM21"));
    ASSERT_TRUE(ptyRig("fill", "TARVCOM21"));

    ASSERT_TRUE(ui_.trace.waitForLines(1, 5000ms));
    const auto retryAt = std::chrono::steady_clock::now();
    ASSERT_TRUE(ui_.trace.waitForLines(2, 5000ms));
    const auto failedAfter = std::chrono::steady_clock::now() - retryAt;
    const auto lines = ui_.trace.lines();
    EXPECT_EQ(lines[0], "Retry after TotalBytesWritten: 0");
    EXPECT_EQ(lines[1], "Error writing to COM interface  error code: 0  TotalBytesWritten: 0  TotalBytesToWrite: 6\n");
    // Ten retries of 200 ms each.
    EXPECT_GT(failedAfter, 1700ms);
    EXPECT_LT(failedAfter, 4000ms);
    EXPECT_TRUE(transferState().connectionError);

    // The watch notices it on its next tick.
    EXPECT_TRUE(controller_.connected());
    controller_.onStatusTimer();
    EXPECT_FALSE(controller_.connected());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "Connection error!");
    EXPECT_EQ(ui_.messages[0].caption, "");
    EXPECT_EQ(ui_.messages[0].type, static_cast<unsigned>(MB_ICONEXCLAMATION));
    ptyRig("resume", "COM21");

    // The flag is cleared only by the next transfer thread.
    EXPECT_TRUE(transferState().connectionError);
    configure(kAnsweringCamera);
    ASSERT_EQ(controller_.connectBridge(), 1);
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(transferState().connectionError);
}

TEST_F(BridgeConnectionTest, CameraLinkReadErrorsAreTracedAndTheBridgeGoesOn)
{
    configure(kReadErrorCamera);
    ASSERT_EQ(controller_.connectBridge(), 1);
    ASSERT_TRUE(ui_.trace.waitForLines(2, 2000ms));
    EXPECT_EQ(ui_.trace.lines()[0], "Error reading from clser interface   error code: -10006");
    EXPECT_TRUE(controller_.connected());
    EXPECT_FALSE(transferState().connectionError);
}

TEST_F(BridgeConnectionTest, ShortCameraLinkWriteEndsTheThreadWithoutConnectionError)
{
    configure(kShortWriteCamera);
    ASSERT_EQ(controller_.connectBridge(), 1);
    ASSERT_TRUE(user_.write("PING\r"));
    ASSERT_TRUE(ui_.trace.waitForLines(1, 2000ms));
    EXPECT_EQ(ui_.trace.lines()[0], "Error writing to clser interface   error code: -5");
    std::this_thread::sleep_for(300ms);
    controller_.onStatusTimer();
    EXPECT_TRUE(controller_.connected()) << "stays connected until the user disconnects";
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(BridgeConnectionTest, MissingComPortReportsMinusTwoAndClosesTheCameraLinkPort)
{
    configure(kAnsweringCamera);
    controller_.settings().bridgePortName = "TARVCOM29";
    EXPECT_EQ(controller_.connectBridge(), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "Cannot open the serial port\nError code: -2");
    EXPECT_EQ(ui_.messages[0].caption, "");
    EXPECT_EQ(ui_.messages[0].type, static_cast<unsigned>(MB_OK));
    EXPECT_FALSE(controller_.connected());
    EXPECT_FALSE(controller_.hasConnection());
    EXPECT_FALSE(ui_.menusSet) << "a failed connect leaves the menus alone";
    EXPECT_TRUE(clPortIsFree(kAnsweringCamera));
}

TEST_F(BridgeConnectionTest, RefusedBaudRateReportsTheLibraryStatusAndClosesThePort)
{
    configure(kSlowLineCamera, "115200,N,8,1");
    controller_.disconnectBridge();
    // Not quiet: the controller was made without a line settings text.
    EXPECT_EQ(controller_.connectBridge(), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text,
              "Connecting to CamaraLink port failed\nError code: " + std::to_string(CL_ERR_BAUD_RATE_NOT_SUPPORTED));
    EXPECT_TRUE(clPortIsFree(kSlowLineCamera));
    EXPECT_TRUE(comPortIsFree("TARVCOM21")) << "the COM port was never opened";
}

TEST_F(BridgeConnectionTest, NotConfiguredTouchesNoPort)
{
    for (auto [name, index] : {std::pair<const char*, int>{"T", 0}, {"TARVCOM21", -1}}) {
        ui_.messages.clear();
        configure(index);
        controller_.settings().bridgePortName = name;
        EXPECT_EQ(controller_.connectBridge(), 0);
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].text, "Port not configured, cannot create connection.");
        EXPECT_EQ(ui_.messages[0].caption, "Port Configuration");
        EXPECT_EQ(ui_.messages[0].type, static_cast<unsigned>(MB_ICONEXCLAMATION));
        EXPECT_FALSE(controller_.firstAttempt());
    }
    EXPECT_TRUE(comPortIsFree("TARVCOM21"));
}

TEST_F(BridgeConnectionTest, FirstAttemptWithLineSettingsIsQuiet)
{
    BridgeController quiet(ui_, "9600,N,8,1");
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
    ASSERT_EQ(controller_.connectBridge(), 1);
    const int updates = ui_.statusUpdates;
    EXPECT_EQ(controller_.connectBridge(), 1);
    EXPECT_EQ(ui_.statusUpdates, updates);
    // The configuration test still comes first.
    controller_.settings().clPortIndex = -1;
    EXPECT_EQ(controller_.connectBridge(), 0);
    controller_.settings().clPortIndex = kAnsweringCamera;
    ASSERT_TRUE(user_.write("PING\r"));
    EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");
}

TEST_F(BridgeConnectionTest, ReconfigureAsksOnlyWhenARunningConnectionChanged)
{
    configure(kAnsweringCamera);
    // Not connected: nothing asked.
    ConnectionSettings changed = controller_.settings();
    changed.baudRate = 19200;
    controller_.reconfigure(changed);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(controller_.settings().baudRate, 19200u);

    ASSERT_EQ(controller_.connectBridge(), 1);
    // Only echo changed: nothing asked.
    ConnectionSettings echoOnly = controller_.settings();
    echoOnly.echo = !echoOnly.echo;
    controller_.reconfigure(echoOnly);
    EXPECT_TRUE(ui_.messages.empty());

    // Declined: the running bridge keeps its old settings and says so.
    ui_.nextAnswer = IDNO;
    ConnectionSettings faster = controller_.settings();
    faster.baudRate = 115200;
    controller_.reconfigure(faster);
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[0].caption, "Port Configuration");
    EXPECT_EQ(ui_.messages[0].type, static_cast<unsigned>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(ui_.messages[0].text,
              "You changed the settings, do you want to reconnect now to perform the change?\nAttention: "
              "Reconnection may lead to data lost, please ensure that there is no data transmission performing.");
    EXPECT_EQ(ui_.messages[1].text,
              "The parameter was set but still not performed, please reconnect later to perform it.");
    EXPECT_TRUE(controller_.connected());

    // Accepted: disconnect and connect again with the new settings.
    ui_.messages.clear();
    ui_.nextAnswer = IDYES;
    ConnectionSettings slower = controller_.settings();
    slower.baudRate = 38400;
    controller_.reconfigure(slower);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_TRUE(controller_.connected());
    ASSERT_TRUE(user_.write("PING\r"));
    EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");
}

} // namespace
