// The traffic record on a running bridge: real pseudo-terminal pairs, the simulated
// camera, and the record written to a file, or to a sink that is held up or fails.
#include "bridge_camera_config.h"
#include "bridge_pair_fixture.h"
#include "record_file.h"
#include "scratch_files.h"
#include "traffic_recorder.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace clser;
using namespace clser::test;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

// What a record line says without its time stamp.
std::string untimed(const std::string& line) { return line.size() > 24 ? line.substr(24) : line; }

std::vector<std::string> recordLines(const std::string& path)
{
    std::vector<std::string> lines;
    for (const std::string& line : splitLines(readTextFile(path)))
        lines.push_back(untimed(line));
    return lines;
}

std::vector<std::string> eventsOf(const std::vector<std::string>& lines)
{
    std::vector<std::string> events;
    for (const std::string& line : lines)
        if (line.rfind("* ", 0) == 0)
            events.push_back(line.substr(2));
    return events;
}

// A sink that keeps what it is given, can be held up (each append waits until it is
// let go) and can fail every append with a Windows error once it holds a given size.
struct SinkState {
    std::mutex mutex;
    std::condition_variable changed;
    std::string text;
    bool held = false;
    DWORD failWith = 0;
    size_t failFrom = 0;
    int appends = 0;

    void letGo()
    {
        std::lock_guard<std::mutex> lock(mutex);
        held = false;
        changed.notify_all();
    }
    std::string contents()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return text;
    }
};

class ScriptedSink : public RecordSink {
public:
    explicit ScriptedSink(SinkState& state) : s_(state) {}
    DWORD append(std::string_view text) override
    {
        std::unique_lock<std::mutex> lock(s_.mutex);
        ++s_.appends;
        s_.changed.notify_all();
        s_.changed.wait(lock, [&] { return !s_.held; });
        if (s_.failWith != 0 && s_.text.size() >= s_.failFrom)
            return s_.failWith;
        s_.text += text;
        return 0;
    }
    DWORD flush() override { return 0; }
    uint64_t size() const override { return s_.text.size(); }
    DWORD rollOver() override { return 0; }
    const std::string& name() const override { return name_; }

private:
    SinkState& s_;
    std::string name_ = "scripted sink";
};

class TrafficRecordTest : public BridgePairTest {
protected:
    TrafficRecordTest() : BridgePairTest("COM25", "TARVCOM25") {}

    void SetUp() override
    {
        BridgePairTest::SetUp();
        DeleteFileA(recordPath_.c_str());
        DeleteFileA((recordPath_ + ".1").c_str());
    }

    ConnectionSettings& configure(int camera, std::optional<std::string> recordPath = std::nullopt)
    {
        ConnectionSettings& s = BridgePairTest::configure(camera);
        TrafficRecordSettings r;
        r.path = recordPath.value_or(recordPath_);
        r.programVersion = "ClserDunmere2 test";
        s.record = r;
        return s;
    }

    void useSink(SinkState& state, uint64_t limitBytes, size_t queueBytes)
    {
        controller_->useTrafficRecorder(std::make_unique<TrafficRecorder>(
            std::make_unique<ScriptedSink>(state), limitBytes, "version", "connection",
            [this](std::string line) { ui_.trace.addLine(std::move(line)); }, queueBytes));
    }

    // Ends the controller, and with it the record's writer, which writes what it has.
    void endController()
    {
        controller_->disconnectBridge();
        controller_.reset();
    }

    void expectPingAnswered(std::chrono::milliseconds limit = 2000ms)
    {
        const auto start = Clock::now();
        ASSERT_TRUE(user_.write("PING\r"));
        EXPECT_EQ(user_.read(6, 2000), "PONG\r\n");
        EXPECT_LT(Clock::now() - start, limit);
    }

    const std::string recordPath_ = scratchPath("traffic record of COM25.log");
};

TEST_F(TrafficRecordTest, BlocksAndEventsAreRecordedInTheOrderTheBridgeMovedThem)
{
    configure(kAnsweringCamera);
    ASSERT_EQ(controller_->connectBridge(), 1);
    expectPingAnswered();
    ConnectionSettings changed = controller_->settings();
    changed.lowLatency = true;
    controller_->reconfigure(changed);
    expectPingAnswered();
    endController();

    const std::vector<std::string> lines = recordLines(recordPath_);
    ASSERT_GE(lines.size(), 2u);
    const std::string connection =
        "COM25 (TARVCOM25) <-> Camera Link port 0, line settings 9600,n,8,1, Camera Link rate 9600, default mode";
    EXPECT_EQ(lines[0], "* ClserDunmere2 test, traffic record");
    EXPECT_EQ(lines[1], "* " + connection);
    EXPECT_EQ(eventsOf(lines),
              (std::vector<std::string>{"ClserDunmere2 test, traffic record", connection, "Connected: " + connection,
                                        "Low-latency mode on", "Disconnected", "Recording ends"}));
    // Each command is recorded before its answer, in both modes.
    std::vector<std::string> blocks;
    for (const std::string& line : lines)
        if (line.rfind("* ", 0) != 0)
            blocks.push_back(line);
    EXPECT_EQ(blocks, (std::vector<std::string>{"COM->CL 5 50 49 4e 47 0d |PING.|",
                                                "CL->COM 6 50 4f 4e 47 0d 0a |PONG..|",
                                                "COM->CL 5 50 49 4e 47 0d |PING.|",
                                                "CL->COM 6 50 4f 4e 47 0d 0a |PONG..|"}));
}

TEST_F(TrafficRecordTest, FailureThatEndsTheTransferIsRecordedBeforeConnectionError)
{
    // Every 4th write to this camera fails.
    configure(kWriteErrorCamera);
    ASSERT_EQ(controller_->connectBridge(), 1);
    for (int i = 0; i < 4 && controller_->connection() && !controller_->connection()->connectionError(); ++i) {
        ASSERT_TRUE(user_.write("x"));
        user_.read(1, 500);
    }
    ASSERT_TRUE(waitUntil([&] { return controller_->connection()->connectionError(); }, 5000ms));
    controller_->onStatusTimer();
    endController();
    const std::vector<std::string> events = eventsOf(recordLines(recordPath_));
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(events.end() - 4, events.end()),
              (std::vector<std::string>{"Error writing to clser interface   error code: -10006", "Connection error!",
                                        "Disconnected", "Recording ends"}));
}

TEST_F(TrafficRecordTest, FileBeyondItsBoundBecomesDotOneAndANewFileBegins)
{
    std::unique_ptr<RecordFile> file;
    ASSERT_EQ(RecordFile::open(recordPath_, file), 0u);
    constexpr uint64_t kBound = 4096;
    controller_->useTrafficRecorder(std::make_unique<TrafficRecorder>(std::move(file), kBound, "version",
                                                                      "connection", nullptr));
    configure(kEchoCamera);
    ASSERT_EQ(controller_->connectBridge(), 1);
    // About 30 KiB of lines: several rollovers, of which the last two files remain.
    const std::string block(200, 'a');
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(user_.write(block));
        ASSERT_EQ(user_.read(block.size(), 2000), block);
    }
    endController();

    for (const std::string& path : {recordPath_ + ".1", recordPath_}) {
        SCOPED_TRACE(path);
        const std::string text = readTextFile(path);
        EXPECT_LE(text.size(), kBound);
        const std::vector<std::string> lines = recordLines(path);
        ASSERT_GE(lines.size(), 3u);
        // The connection line is the one the connect gave.
        EXPECT_EQ(lines[0], "* version");
        EXPECT_EQ(lines[1].rfind("* COM25 (TARVCOM25) <-> Camera Link port 2,", 0), 0u) << lines[1];
    }
    EXPECT_FALSE(fileExists(recordPath_ + ".2"));
    EXPECT_EQ(recordLines(recordPath_).back(), "* Recording ends");
}

TEST_F(TrafficRecordTest, HeldUpWriterNeverHoldsTheTransferAndTheLossIsReported)
{
    SinkState sink;
    sink.held = true;
    useSink(sink, 1 << 30, 8192);
    configure(kAnsweringCamera);
    ASSERT_EQ(controller_->connectBridge(), 1);
    // The writer waits in its first append; round trips go on as before.
    for (int i = 0; i < 20; ++i)
        expectPingAnswered(1000ms);
    controller_->disconnectBridge();

    // 64 KiB each way at the line rate, far more than the queue holds.
    const std::string receiveLog = echoCameraReceiveLog();
    DeleteFileA(receiveLog.c_str());
    configure(kLineEchoCamera).setLine(parseLineSettings("921600,N,8,1"));
    ASSERT_EQ(controller_->connectBridge(), 1);
    std::string sent(65536, '\0');
    for (size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<char>(i * 7);
    std::thread writer([&] { user_.write(sent); });
    const std::string echoed = user_.read(sent.size(), 10000);
    writer.join();
    EXPECT_TRUE(echoed == sent) << "the bytes crossing the bridge differ from the sent ones";
    EXPECT_EQ(sink.appends, 1) << "the writer is still held in its first append";

    sink.letGo();
    endController();
    const std::string text = sink.contents();
    EXPECT_NE(text.find(" bytes not recorded)"), std::string::npos);
    EXPECT_TRUE(ui_.trace.lines().empty());
}

TEST_F(TrafficRecordTest, FullDiskStopsTheRecordWithOneLineAndTheBridgeGoesOn)
{
    SinkState sink;
    sink.failWith = ERROR_DISK_FULL;
    sink.failFrom = 1;
    useSink(sink, 1 << 30, kDefaultRecordQueueBytes);
    configure(kAnsweringCamera);
    ASSERT_EQ(controller_->connectBridge(), 1);
    for (int i = 0; i < 5; ++i)
        expectPingAnswered();
    ASSERT_TRUE(ui_.trace.waitForLines(1, 5000ms));
    EXPECT_TRUE(controller_->trafficRecorder()->stopped());
    expectPingAnswered();
    endController();
    const std::vector<std::string> trace = ui_.trace.lines();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0].rfind("Recording to \"scripted sink\" stopped: Windows error 112", 0), 0u) << trace[0];
}

TEST_F(TrafficRecordTest, PathThatCannotBeOpenedCostsOneTraceLineAndTheBridgeRunsOn)
{
    struct Case {
        const char* name;
        std::string path;
        DWORD error;
    };
    const std::string missingFolder = scratchPath("no such folder") + "\\record.log";
    const Case cases[] = {
        {"folder missing", missingFolder, ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui_.trace.clear();
        configure(kAnsweringCamera, c.path);
        ASSERT_EQ(controller_->connectBridge(), 1);
        expectPingAnswered();
        EXPECT_EQ(controller_->trafficRecorder(), nullptr);
        const std::vector<std::string> trace = ui_.trace.lines();
        ASSERT_EQ(trace.size(), 1u);
        const std::string expected = "Cannot record to \"" + c.path + "\": Windows error " + std::to_string(c.error);
        EXPECT_EQ(trace[0].rfind(expected, 0), 0u) << trace[0];
        EXPECT_NE(trace[0].find("the connection runs without a record"), std::string::npos);
        controller_->disconnectBridge();
    }
}

} // namespace
