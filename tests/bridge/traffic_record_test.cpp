// The traffic record on a running bridge: real pseudo-terminal pairs, the simulated
// camera, and the record written to a file, or to a sink that is held up or fails.
#include "bridge_camera_config.h"
#include "bridge_pair_fixture.h"
#include "record_file.h"
#include "scratch_files.h"
#include "traffic_recorder.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <atomic>
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
    bool openHeld = false;
    bool gone = false;
    DWORD failWith = 0;
    size_t failFrom = 0;
    int appends = 0;

    void letGo()
    {
        std::lock_guard<std::mutex> lock(mutex);
        held = false;
        openHeld = false;
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
    ~ScriptedSink() override
    {
        std::lock_guard<std::mutex> lock(s_.mutex);
        s_.gone = true;
        s_.changed.notify_all();
    }
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
    DWORD rollOver(DWORD&) override { return 0; }
    const std::string& name() const override { return name_; }

private:
    SinkState& s_;
    std::string name_ = "scripted sink";
};

// Opens a scripted sink once the state lets the open go.
TrafficRecorder::SinkOpener scriptedOpen(SinkState& state)
{
    return [&state](std::unique_ptr<RecordSink>& sink) {
        std::unique_lock<std::mutex> lock(state.mutex);
        state.changed.wait(lock, [&] { return !state.openHeld; });
        sink = std::make_unique<ScriptedSink>(state);
        return DWORD{0};
    };
}

TrafficRecorder::SinkOpener fileOpen(const std::string& path)
{
    return [path](std::unique_ptr<RecordSink>& sink) { return RecordFile::open(path, sink); };
}

// Starts the transfer and moves one round trip before the connect returns.
UserPort* roundTripUser = nullptr;
HANDLE startWithRoundTrip(LPTHREAD_START_ROUTINE proc, void* argument, DWORD* threadId)
{
    HANDLE thread = CreateThread(nullptr, 0, proc, argument, 0, threadId);
    if (thread && roundTripUser && roundTripUser->write("PING\r"))
        roundTripUser->read(6, 2000);
    return thread;
}

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
            "scripted sink", scriptedOpen(state), limitBytes, "version", "connection",
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
    // The first round trip is over before the connect returns.
    roundTripUser = &user_;
    controller_->setThreadStarter(startWithRoundTrip);
    ASSERT_EQ(controller_->connectBridge(), 1);
    roundTripUser = nullptr;
    ConnectionSettings changed = controller_->settings();
    changed.lowLatency = true;
    controller_->reconfigure(changed);
    expectPingAnswered();
    endController();

    const std::vector<std::string> lines = recordLines(recordPath_);
    ASSERT_GE(lines.size(), 3u);
    const std::string connection =
        "COM25 (TARVCOM25) <-> Camera Link port 0, line settings 9600,n,8,1, Camera Link rate 9600, default mode";
    EXPECT_EQ(lines[0], "* ClserDunmere2 test, traffic record");
    EXPECT_EQ(lines[1], "* " + connection);
    EXPECT_EQ(lines[2], "* Connected: " + connection) << "before the first block";
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
    constexpr uint64_t kBound = 4096;
    controller_->useTrafficRecorder(
        std::make_unique<TrafficRecorder>(recordPath_, fileOpen(recordPath_), kBound, "version", "connection", nullptr));
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

TEST_F(TrafficRecordTest, FailedRenameKeepsEveryLineSaysSoOnceAndIsTriedAgainAtTheNextBound)
{
    // A folder in the way of the older file: the rename fails, as when a viewer holds the file.
    const std::string older = recordPath_ + ".1";
    ASSERT_TRUE(CreateDirectoryA(older.c_str(), nullptr));
    constexpr uint64_t kBound = 4096;
    controller_->useTrafficRecorder(std::make_unique<TrafficRecorder>(
        recordPath_, fileOpen(recordPath_), kBound, "version", "connection",
        [this](std::string line) { ui_.trace.addLine(std::move(line)); }));
    configure(kEchoCamera);
    ASSERT_EQ(controller_->connectBridge(), 1);
    const std::string block(200, 'a');
    auto echo = [&] {
        for (int i = 0; i < 20; ++i) {
            ASSERT_TRUE(user_.write(block));
            ASSERT_EQ(user_.read(block.size(), 2000), block);
        }
    };
    echo();
    const std::string said = "Recording to \"" + recordPath_ + "\" goes on in the same file: renaming it to \"" +
                             older + "\" failed (Windows error ";
    // About 30 KiB of lines, none cut away.
    EXPECT_TRUE(waitUntil([&] { return readTextFile(recordPath_).size() > 6 * kBound; }, 5000ms));
    const std::string text = readTextFile(recordPath_);
    EXPECT_NE(text.find("* " + said), std::string::npos);
    EXPECT_EQ(text.find("* " + said), text.rfind("* " + said)) << "said once in the record";
    // Once the folder is gone the file rolls over again within its bound.
    ASSERT_TRUE(RemoveDirectoryA(older.c_str()));
    echo();
    endController();
    const std::vector<std::string> trace = ui_.trace.lines();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0].rfind(said, 0), 0u) << trace[0];
    EXPECT_EQ(GetFileAttributesA(older.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_LE(readTextFile(older).size(), kBound);
    EXPECT_LE(readTextFile(recordPath_).size(), kBound);
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
    // Events beyond the queue's bound and its reserve for events.
    for (int i = 0; i < 1000; ++i)
        controller_->trafficRecorder()->recordEvent(std::string(100, 'e'));

    sink.letGo();
    endController();
    const std::string text = sink.contents();
    EXPECT_NE(text.find(" bytes not recorded)"), std::string::npos);
    EXPECT_NE(text.find(" events not recorded)"), std::string::npos);
    EXPECT_TRUE(ui_.trace.lines().empty());
}

TEST_F(TrafficRecordTest, StuckRecordHoldsNeitherTheConnectNorTheEnd)
{
    // A share that stopped answering: the open and every write are held.
    SinkState sink;
    sink.openHeld = true;
    sink.held = true;
    configure(kAnsweringCamera);
    // The record made, the connect, a round trip and the end, on the window's thread.
    std::atomic<bool> ended{false};
    std::string answer;
    std::thread window([&] {
        useSink(sink, 1 << 30, kDefaultRecordQueueBytes);
        if (controller_->connectBridge() == 1 && user_.write("PING\r"))
            answer = user_.read(6, 2000);
        endController();
        ended = true;
    });
    const bool endedInTime = waitUntil([&] { return ended.load(); }, 20000ms);
    sink.letGo();
    window.join();
    EXPECT_TRUE(endedInTime) << "the window waits for a record that does not answer";
    EXPECT_EQ(answer, "PONG\r\n");
    // The writer left on its own ends once let go, and says nothing more.
    std::unique_lock<std::mutex> lock(sink.mutex);
    EXPECT_TRUE(sink.changed.wait_for(lock, 10s, [&] { return sink.gone; }));
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
        ASSERT_TRUE(ui_.trace.waitForLines(1, 5000ms));
        EXPECT_TRUE(controller_->trafficRecorder()->stopped());
        const std::vector<std::string> trace = ui_.trace.lines();
        ASSERT_EQ(trace.size(), 1u);
        const std::string expected = "Cannot record to \"" + c.path + "\": Windows error " + std::to_string(c.error);
        EXPECT_EQ(trace[0].rfind(expected, 0), 0u) << trace[0];
        EXPECT_NE(trace[0].find("the connection runs without a record"), std::string::npos);
        controller_->disconnectBridge();
    }
}

} // namespace
