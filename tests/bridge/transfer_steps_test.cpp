// The transfer in both modes over a user side and a camera of the test's own, in
// process: which lines, records and flags each block and each failure gives, and which
// time-outs the reads ask for.
#include "transfer_loop.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace clser;
using clser::test::waitUntil;
using namespace std::chrono_literals;

namespace {

// Bytes one side hands the transfer, guarded for the two threads of the low-latency mode.
class Inbox {
public:
    void put(const std::string& bytes)
    {
        std::lock_guard<std::mutex> lock(m_);
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        arrived_.notify_all();
    }
    // Waits up to ms for bytes, takes up to wanted.
    uint32_t take(uint8_t* buffer, uint32_t wanted, uint32_t ms)
    {
        std::unique_lock<std::mutex> lock(m_);
        arrived_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return !bytes_.empty(); });
        uint32_t n = 0;
        for (; n < wanted && !bytes_.empty(); ++n) {
            buffer[n] = static_cast<uint8_t>(bytes_.front());
            bytes_.pop_front();
        }
        return n;
    }

private:
    std::mutex m_;
    std::condition_variable arrived_;
    std::deque<char> bytes_;
};

class FakeUserSide : public UserSide {
public:
    int read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs) override
    {
        {
            std::lock_guard<std::mutex> lock(m_);
            timeouts_.push_back(timeoutMs);
        }
        got = fromUser.take(buffer, wanted, timeoutMs);
        return readStatus;
    }
    int readArrived(uint8_t* buffer, uint32_t wanted, uint32_t& got, HANDLE wake) override
    {
        for (got = 0; readStatus == 0 && got == 0; got = fromUser.take(buffer, wanted, 5))
            if (WaitForSingleObject(wake, 0) == WAIT_OBJECT_0)
                return 0;
        return readStatus;
    }
    int write(const uint8_t* buffer, uint32_t count, uint32_t& written) override
    {
        written = takesNothing ? 0 : count;
        std::lock_guard<std::mutex> lock(m_);
        received.append(reinterpret_cast<const char*>(buffer), written);
        return 0;
    }
    std::string receivedSoFar()
    {
        std::lock_guard<std::mutex> lock(m_);
        return received;
    }
    // The time-outs the plain reads asked for, in order.
    std::vector<uint32_t> timeouts()
    {
        std::lock_guard<std::mutex> lock(m_);
        return timeouts_;
    }

    Inbox fromUser;
    std::atomic<int> readStatus{0};
    std::atomic<bool> takesNothing{false};

private:
    std::mutex m_;
    std::string received;
    std::vector<uint32_t> timeouts_;
};

// Answers "PING\r" with "PONG\r\n".
class FakeCamera : public CameraPort {
public:
    int read(uint8_t* buffer, uint32_t& count, uint32_t timeoutMs) override
    {
        if (readStatus != 0)
            return readStatus;
        count = answers.take(buffer, count, timeoutMs);
        return 0;
    }
    int write(const uint8_t* buffer, uint32_t count, uint32_t& written) override
    {
        written = count;
        if (writeStatus == 0 && std::string(reinterpret_cast<const char*>(buffer), count) == "PING\r")
            answers.put("PONG\r\n");
        return writeStatus;
    }

    Inbox answers;
    int readStatus = 0;
    int writeStatus = 0;
};

class RecordingReport : public TransferReport {
public:
    void addLine(std::string line) override { add("", std::move(line)); }
    void addLinePair(std::string heading, std::string line) override { add(std::move(heading), std::move(line)); }
    void recordBlock(bool toCamera, const uint8_t* bytes, uint32_t count) override
    {
        add("", std::string(toCamera ? "record to camera: " : "record to user: ") +
                    std::string(reinterpret_cast<const char*>(bytes), count));
    }
    void recordEvent(std::string text) override { add("", "record event: " + text); }
    std::vector<std::string> lines()
    {
        std::lock_guard<std::mutex> lock(m_);
        return lines_;
    }

private:
    void add(std::string heading, std::string line)
    {
        std::lock_guard<std::mutex> lock(m_);
        if (!heading.empty())
            lines_.push_back(std::move(heading));
        lines_.push_back(std::move(line));
    }
    std::mutex m_;
    std::vector<std::string> lines_;
};

// One run of the transfer on its own thread, over the fakes.
struct Transfer {
    explicit Transfer(bool lowLatency)
    {
        timings.comWriteRetryDelayMs = 1;
        signals.lowLatency = lowLatency;
        signals.run = true;
    }
    ~Transfer()
    {
        if (thread.joinable())
            stop(5000ms);
    }
    void start()
    {
        thread = std::thread([this] {
            status = static_cast<int>(runTransfer(link));
            ended = true;
        });
    }
    // Ends the transfer as the connection's stop does; true when it ended within ms.
    bool stop(std::chrono::milliseconds ms)
    {
        signals.run = false;
        signals.wake.set();
        const bool endedInTime = waitUntil([&] { return ended.load(); }, ms);
        thread.join();
        return endedInTime;
    }
    // Waits for a failure to end the transfer.
    bool waitForEnd()
    {
        const bool endedByItself = waitUntil([&] { return ended.load(); }, 5000ms);
        stop(0ms);
        return endedByItself;
    }

    FakeUserSide user;
    FakeCamera camera;
    RecordingReport report;
    TransferTimings timings;
    TransferSignals signals;
    TransferLink link{user, camera, timings, signals, report};
    std::atomic<int> status{0};
    std::atomic<bool> ended{false};
    std::thread thread;
};

struct StepCase {
    const char* name;
    int cameraWrite;          // the camera's write status
    int userRead;             // the user side's read status
    bool userTakesNothing;    // every write to the user side takes nothing
    bool endsTheTransfer;     // with the connection-error flag
    std::vector<std::string> lines;
    bool stopDuringRetries = false; // the user's Disconnect comes while the COM write retries
};

TEST(TransferStepsTest, EachBlockAndFailureGivesItsLinesInBothModes)
{
    const std::vector<std::string> pingPong = {
        "record to camera: PING\r", "To ClSer:", "50[P] 49[I] 4e[N] 47[G] d[.] ",
        "record to user: PONG\r\n", "To Com:", "50[P] 4f[O] 4e[N] 47[G] d[.] a[.] "};
    const char* comFailure = "Error writing to COM interface  error code: 0  TotalBytesWritten: 0  TotalBytesToWrite: 6\n";
    const StepCase rows[] = {
        {"a command and its answer, echoed", 0, 0, false, false, pingPong},
        {"camera write refused", -10006, 0, false, true,
         {"record to camera: PING\r", "To ClSer:", "50[P] 49[I] 4e[N] 47[G] d[.] ",
          "record event: Error writing to clser interface   error code: -10006",
          "Error writing to clser interface   error code: -10006"}},
        {"user side read fails", 0, -22, false, true,
         {"record event: Error while reading from COM interface   error code: -22",
          "Error while reading from COM interface   error code: -22"}},
        {"user side takes nothing: retries, then the failure",
         0, 0, true, true,
         {"record to camera: PING\r", "To ClSer:", "50[P] 49[I] 4e[N] 47[G] d[.] ", "record to user: PONG\r\n",
          "To Com:", "50[P] 4f[O] 4e[N] 47[G] d[.] a[.] ", "Retry after TotalBytesWritten: 0",
          std::string("record event: ") + comFailure, comFailure}},
        {"user side takes nothing, the user disconnects during the retries: no failure",
         0, 0, true, false,
         {"record to camera: PING\r", "To ClSer:", "50[P] 49[I] 4e[N] 47[G] d[.] ", "record to user: PONG\r\n",
          "To Com:", "50[P] 4f[O] 4e[N] 47[G] d[.] a[.] ", "Retry after TotalBytesWritten: 0"},
         true},
    };
    for (const bool lowLatency : {false, true}) {
        for (const StepCase& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (lowLatency ? ", low latency" : ", default mode"));
            Transfer t(lowLatency);
            t.signals.echo = true;
            t.camera.writeStatus = row.cameraWrite;
            t.user.readStatus = row.userRead;
            t.user.takesNothing = row.userTakesNothing;
            if (row.stopDuringRetries) {
                t.timings.comWriteRetryDelayMs = 50;
                t.timings.comWriteRetries = 400;
            }
            t.user.fromUser.put("PING\r");
            t.start();
            if (row.endsTheTransfer) {
                ASSERT_TRUE(t.waitForEnd());
                EXPECT_TRUE(t.signals.connectionError);
                EXPECT_EQ(t.status, row.cameraWrite + row.userRead);
            } else {
                ASSERT_TRUE(waitUntil([&] { return t.report.lines().size() >= row.lines.size(); }, 5000ms));
                ASSERT_TRUE(t.stop(2000ms));
                EXPECT_FALSE(t.signals.connectionError);
                EXPECT_EQ(t.user.receivedSoFar(), row.userTakesNothing ? "" : "PONG\r\n");
            }
            EXPECT_EQ(t.report.lines(), row.lines);
        }
    }
}

TEST(TransferStepsTest, CameraReadErrorsCostOnePollAndTheTransferGoesOn)
{
    for (const bool lowLatency : {false, true}) {
        SCOPED_TRACE(lowLatency ? "low latency" : "default mode");
        Transfer t(lowLatency);
        t.camera.readStatus = -10006;
        t.start();
        ASSERT_TRUE(waitUntil([&] { return t.report.lines().size() >= 2; }, 5000ms));
        EXPECT_EQ(t.report.lines()[0], "Error reading from clser interface   error code: -10006");
        EXPECT_FALSE(t.signals.connectionError);
        ASSERT_TRUE(t.stop(2000ms));
    }
}

TEST(TransferStepsTest, DefaultModeReadsTheUserSideSoonAgainWhileTheCameraSends)
{
    Transfer t(false);
    t.user.fromUser.put("PING\r");
    t.start();
    ASSERT_TRUE(waitUntil([&] { return t.user.receivedSoFar() == "PONG\r\n" && t.user.timeouts().size() >= 3; },
                          5000ms));
    ASSERT_TRUE(t.stop(2000ms));
    const TransferTimings d;
    // The command; right after the camera's answer a short read; once the camera is
    // quiet the reads wait their time again.
    const std::vector<uint32_t> all = t.user.timeouts();
    const std::vector<uint32_t> first(all.begin(), all.begin() + 3);
    EXPECT_EQ(first, (std::vector<uint32_t>{d.comReadTimeoutMs, d.comReadWhileCameraSendsMs, d.comReadTimeoutMs}));
}

} // namespace
