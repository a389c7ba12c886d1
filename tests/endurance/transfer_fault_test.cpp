// Faults that strike a running bridge after good traffic: the camera's reads and writes
// failing, the user's side closing its port, the pair vanishing, and the user stopping
// the bridge while it retries a COM write. Each must end in its reported state, and
// none may hang.
#include "endurance_support.h"
#include "com_port.h"
#include "pty_rig_command.h"
#include "scratch_files.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

using namespace clser;
using namespace clser::test;
using namespace std::chrono_literals;

namespace {

class TransferFaultTest : public PairFixture {};

// A fault on the Camera Link write ends the transfer thread with one line, and the
// watch ends the connection with "Connection error!".
struct CameraWriteFault {
    const char* name;
    int camera;
    int status;
};

TEST_F(TransferFaultTest, CameraLinkWriteFaultsMidStreamEndTheThreadWithOneLine)
{
    const CameraWriteFault rows[] = {
        {"short write (every 8th)", kShortWriteEcho, -5},
        {"write refused (every 8th)", kWriteErrorEcho, -10006},
        {"write time-out (every 8th)", kWriteTimeoutEcho, -10004},
    };
    for (const CameraWriteFault& row : rows) {
        SCOPED_TRACE(row.name);
        ui_.trace.clear();
        ui_.messages.clear();
        connect(row.camera);
        // Seven good writes, each echoed complete; the eighth one fails.
        EXPECT_EQ(echoBlocks(7, 1024), 7) << "good traffic before the fault";
        const std::string eighth = numberedBlock(1024, 7);
        ASSERT_TRUE(user_.write(eighth));
        ASSERT_TRUE(ui_.trace.waitForLines(1, 3000ms));
        const std::string echoed = user_.read(1024, 600);
        EXPECT_LT(echoed.size(), eighth.size()) << "the failed block is not echoed whole";
        EXPECT_EQ(echoed, eighth.substr(0, echoed.size())) << "what came back is not altered";
        EXPECT_EQ(ui_.trace.lines(),
                  std::vector<std::string>{"Error writing to clser interface   error code: " +
                                           std::to_string(row.status)});

        // The thread has ended: nothing more crosses, and the watch ends the connection.
        ASSERT_TRUE(controller_->connection()->waitForTransferEnd(5000));
        EXPECT_TRUE(controller_->connection()->connectionError());
        ASSERT_TRUE(user_.write(numberedBlock(64, 99)));
        EXPECT_EQ(user_.read(64, 500), "");
        runBounded([this] { controller_->onStatusTimer(); }, 5000ms, "the connection watch");
        EXPECT_FALSE(controller_->connected());
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].text, "Connection error!");
        EXPECT_TRUE(clPortIsFree(row.camera));
        EXPECT_TRUE(comPortIsFree(kBridgePort));
        EXPECT_EQ(ui_.trace.lines().size(), 1u) << "no further line";
    }
}

TEST_F(TransferFaultTest, CameraLinkReadErrorsMidStreamLoseNoByte)
{
    connect(kReadErrorEcho);
    // Every 25th read fails while blocks cross; what the camera holds stays for the next
    // pass, so every block comes back complete.
    EXPECT_EQ(echoBlocks(40, 1024), 40);
    const auto lines = ui_.trace.lines();
    ASSERT_GE(lines.size(), 1u) << "the read errors struck during the traffic";
    std::printf("[observed] read errors during 40 echoed blocks: %zu lines, every block whole\n", lines.size());
    for (const std::string& line : lines)
        EXPECT_EQ(line, "Error reading from clser interface   error code: -10006");
    controller_->onStatusTimer();
    EXPECT_TRUE(controller_->connected());
    EXPECT_FALSE(controller_->connection()->connectionError());
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_LT(disconnectBounded(), 1500ms);
}

TEST_F(TransferFaultTest, UserSideClosingAndReopeningItsPortKeepsTheBridgeRunning)
{
    connect(kCommandCamera);
    ASSERT_TRUE(user_.write("PING\r"));
    ASSERT_EQ(user_.read(6, 2000), "PONG\r\n");

    // Closed while idle.
    user_.close();
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(user_.open(kUserPort));
    ASSERT_TRUE(user_.write("PING\r"));
    EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");

    // Closed while 64 KiB are on their way to it: what it missed is gone, and the next
    // command is answered as usual.
    ASSERT_TRUE(user_.write("DUMP\r"));
    EXPECT_GT(user_.read(1024, 2000).size(), 0u);
    user_.close();
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(user_.open(kUserPort));
    user_.read(1 << 20, 500);  // whatever was still queued on the way
    ASSERT_TRUE(user_.write("PING\r"));
    EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");

    controller_->onStatusTimer();
    EXPECT_TRUE(controller_->connected());
    EXPECT_FALSE(controller_->connection()->connectionError());
    EXPECT_TRUE(ui_.messages.empty());
    // While nobody reads, the queue towards the user fills and the bridge's writes take
    // nothing: it says so and retries, and the retries succeed once the port is open again.
    for (const std::string& line : ui_.trace.lines())
        EXPECT_EQ(line.rfind("Retry after TotalBytesWritten: ", 0), 0u) << line;
    std::printf("[observed] user side closed and reopened: %zu retry lines, still connected\n",
                ui_.trace.lines().size());
}

// CPU time the whole process used during the given wall time, in percent of one core.
double processCpuPercent(std::chrono::milliseconds during)
{
    auto cpuMs = [] {
        FILETIME created, ended, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
        auto ms = [](const FILETIME& t) {
            return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
        };
        return ms(kernel) + ms(user);
    };
    const double before = cpuMs();
    std::this_thread::sleep_for(during);
    return 100.0 * (cpuMs() - before) / static_cast<double>(during.count());
}

TEST_F(TransferFaultTest, PairVanishingUnderAnIdleBridgeNeverHangs)
{
    connect(kPlainEchoCamera);
    EXPECT_EQ(echoBlocks(5, 256), 5);
    user_.close();
    pair_.reset();  // both ends gone, the bridge still holds its handle

    // A COM read that fails ends the thread with its line, and the watch ends the
    // connection. Where the vanished port reads as one where nothing arrives, the bridge
    // stays as if idle until it is stopped.
    const bool reported = ui_.trace.waitForLines(1, 2000ms);
    if (reported) {
        EXPECT_EQ(ui_.trace.lines().front().rfind("Error while reading from COM interface   error code: -", 0), 0u)
            << ui_.trace.lines().front();
        ASSERT_TRUE(controller_->connection()->waitForTransferEnd(5000));
        EXPECT_EQ(ui_.trace.lines().size(), 1u) << "the thread ended after its one line";
        EXPECT_TRUE(controller_->connection()->connectionError());
    }
    std::printf("[observed] vanished pair under an idle bridge: %s; process CPU %.0f%% of a core\n",
                reported ? ui_.trace.lines().front().c_str() : "no line, the bridge stays idle",
                processCpuPercent(1000ms));
    runBounded([this] { controller_->onStatusTimer(); }, 5000ms, "the connection watch");
    EXPECT_EQ(controller_->connected(), !reported) << "a failed COM read ends the connection";
    EXPECT_EQ(ui_.messages.size(), reported ? 1u : 0u);
    EXPECT_LT(disconnectBounded(), 1500ms);
    ui_.messages.clear();

    // The port is gone for good: a new connect says so.
    EXPECT_EQ(controller_->connectBridge(), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "Cannot open the serial port\nError code: -2");
    EXPECT_TRUE(clPortIsFree(kPlainEchoCamera));
}

TEST_F(TransferFaultTest, PairVanishingWhileTheCameraSendsEndsTheConnection)
{
    connect(kCommandCamera);
    ASSERT_TRUE(user_.write("DUMP\r"));
    EXPECT_GT(user_.read(1024, 2000).size(), 0u);
    user_.close();
    pair_.reset();

    ASSERT_TRUE(ui_.trace.waitForLines(1, 5000ms)) << "the failure is reported";
    ASSERT_TRUE(controller_->connection()->waitForTransferEnd(8000));
    const auto lines = ui_.trace.lines();
    const std::string& last = lines.back();
    const bool comWriteFailed = last.rfind("Error writing to COM interface  error code: ", 0) == 0;
    const bool comReadFailed = last.rfind("Error while reading from COM interface   error code: -", 0) == 0;
    EXPECT_TRUE(comWriteFailed || comReadFailed) << last;
    std::printf("[observed] vanished pair while the camera sends: %s\n", last.c_str());
    EXPECT_TRUE(controller_->connection()->connectionError()) << "either failure ends the connection";
    runBounded([this] { controller_->onStatusTimer(); }, 5000ms, "the connection watch");
    EXPECT_FALSE(controller_->connected());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "Connection error!");
    EXPECT_LT(disconnectBounded(), 1500ms);
    EXPECT_TRUE(clPortIsFree(kCommandCamera));
}

// The user stops the bridge while it retries a COM write that writes nothing: the stop
// ends the retries at once and is not reported as a failure.
struct StopDuringRetries {
    const char* name;
    bool exitProgram;  // the controller itself goes, as at the program's exit
};

TEST_F(TransferFaultTest, StopWhileComWriteRetriesRunEndsWithinTheirBound)
{
    const StopDuringRetries rows[] = {{"disconnect", false}, {"exit", true}};
    for (const StopDuringRetries& row : rows) {
        SCOPED_TRACE(row.name);
        ui_.trace.clear();
        ui_.messages.clear();
        if (!controller_)
            controller_ = std::make_unique<BridgeController>(ui_, std::nullopt);
        DeleteFileA(lateCameraReceiveLog().c_str());
        connect(kLateAnswerCamera);
        // The user side takes no more bytes and the bridge's queue is full before the
        // command goes (the other direction flows on), so whenever the answer comes every
        // COM write writes nothing.
        ASSERT_TRUE(ptyRig("stall", kUserPort));
        stalled_ = true;
        ASSERT_TRUE(ptyRig("fill", kBridgePort));
        ASSERT_TRUE(user_.write("PING\r"));
        ASSERT_TRUE(waitUntil([] { return readTextFile(lateCameraReceiveLog()) == "PING\r"; }, 5000ms))
            << "the command reaches the camera";
        ASSERT_TRUE(ui_.trace.waitForLines(1, 6000ms));
        ASSERT_EQ(ui_.trace.lines()[0], "Retry after TotalBytesWritten: 0");

        std::chrono::milliseconds took{};
        if (row.exitProgram)
            took = runBounded([this] { controller_.reset(); }, 6000ms, "ending the controller");
        else
            took = disconnectBounded(6000ms);
        // At most one pause of 200 ms and one write of 100 ms.
        EXPECT_LT(took, 1500ms) << "the stop does not wait for the remaining retries";
        std::printf("[observed] %s during the COM write retries: ended after %lld ms\n", row.name,
                    static_cast<long long>(took.count()));
        EXPECT_EQ(ui_.trace.lines().size(), 1u) << "the user's stop is no COM write failure";
        EXPECT_TRUE(ui_.messages.empty()) << "a stopped connection shows no connection error";
        if (controller_) {
            EXPECT_FALSE(controller_->connected());
            controller_->onStatusTimer();
            EXPECT_TRUE(ui_.messages.empty());
        }
        EXPECT_TRUE(clPortIsFree(kLateAnswerCamera));
        EXPECT_TRUE(comPortIsFree(kBridgePort));

        ASSERT_TRUE(ptyRig("resume", kUserPort));
        stalled_ = false;
        // Drain what the fill left queued towards the user side.
        user_.read(1 << 20, 500);
    }
}

// An error that an earlier call left on the thread is not the reason of a timed-out write.
TEST_F(TransferFaultTest, ComWriteTimeOutReportsNoErrorAnEarlierCallLeft)
{
    // The transfer thread calls the camera library between its COM writes, and any call
    // may leave a last error behind (appending to an existing file leaves
    // ERROR_ALREADY_EXISTS). A write that only timed out has no error of its own: it must
    // give status 0, so that the transfer loop retries it, and not a stale error, which
    // ends the connection at once.
    ComPort port;
    ASSERT_EQ(port.open("\\\\.\\TARVCOM23", LineSettings{}), 0);
    ASSERT_TRUE(ptyRig("stall", kUserPort));
    stalled_ = true;
    ASSERT_TRUE(ptyRig("fill", kBridgePort));
    const uint8_t answer[] = {'P', 'O', 'N', 'G', '\r', '\n'};
    uint32_t written = 99;
    SetLastError(ERROR_ALREADY_EXISTS);
    EXPECT_EQ(port.write(answer, sizeof answer, written), 0);
    EXPECT_EQ(written, 0u);
    port.close();
}

} // namespace
