#include "transfer_loop.h"

#include "bridge_connection.h"
#include "com_block_write.h"
#include "low_latency_timing.h"
#include "trace_line.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>

namespace clser {
namespace {

using Clock = std::chrono::steady_clock;

uint32_t millisecondsSince(Clock::time_point start)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return ms < 0 ? 0 : ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<uint32_t>(ms);
}

std::string withStatus(const char* format, int status)
{
    char line[160];
    std::snprintf(line, sizeof line, format, status);
    return line;
}

// One run of the transfer thread: the passes over both directions, with what the
// thread keeps from pass to pass.
class TransferLoop {
public:
    explicit TransferLoop(BridgeConnection& connection)
        : c_(connection), t_(connection.timings()), buffer_(std::make_unique<uint8_t[]>(kTransferBufferSize))
    {
    }

    DWORD run()
    {
        c_.clearConnectionError();
        CriticalSectionLock portLock(c_.portLock());
        while (c_.running()) {
            if (!takeTransferMode())
                break;
            bool blockWritten = false;
            if (!comToCameraLink(blockWritten))
                break;
            if (!cameraLinkToCom(blockWritten))
                break;
        }
        return static_cast<DWORD>(status_);
    }

private:
    // A failure that ends the thread: its line, and the flag that lets the watch end
    // the connection and tell the user.
    bool endWith(std::string line)
    {
        c_.addLine(std::move(line));
        c_.reportConnectionError();
        return false;
    }

    void addTracedBlock(const char* heading, const uint8_t* bytes, uint32_t count)
    {
        c_.addLine(heading);
        std::string line = formatTraceLine(bytes, count);
        CriticalSectionLock lock(c_.traceLock());
        c_.addLine(std::move(line));
    }

    // The mode is taken once per pass, so a change reaches a running connection. The
    // low-latency mode sets the port's read interval time-out; the value it found is
    // put back when the default mode returns.
    bool takeTransferMode()
    {
        lowLatency_ = c_.lowLatency();
        if (lowLatency_ == intervalSet_)
            return true;
        status_ = lowLatency_ ? c_.comPort().setReadIntervalTimeout(t_.lowLatency.comReadIntervalMs, &portInterval_)
                              : c_.comPort().setReadIntervalTimeout(portInterval_);
        if (status_ != 0)
            return endWith(withStatus("Error while reading from COM interface   error code: %d", status_));
        intervalSet_ = lowLatency_;
        return true;
    }

    // COM to Camera Link: one read of at most a block, written to the camera.
    bool comToCameraLink(bool& blockWritten)
    {
        const uint32_t timeout =
            lowLatency_ ? lowLatencyComReadTimeout(t_.lowLatency,
                                                   anyClWrite_ ? millisecondsSince(lastClWrite_) : kNoBlockWrittenYet)
                        : cameraSent_ ? t_.comReadWhileCameraSendsMs : t_.comReadTimeoutMs;
        uint32_t n = 0;
        status_ = c_.comPort().read(buffer_.get(), kTransferBlockSize, n, timeout);
        if (status_ != 0)
            return endWith(withStatus("Error while reading from COM interface   error code: %d", status_));
        if (n == 0)
            return true;
        if (c_.echo())
            addTracedBlock("To ClSer:", buffer_.get(), n);
        uint32_t written = 0;
        status_ = c_.clPort().write(buffer_.get(), n, written);
        if (status_ != 0)
            return endWith(withStatus("Error writing to clser interface   error code: %d", status_));
        blockWritten = true;
        lastClWrite_ = Clock::now();
        anyClWrite_ = true;
        return true;
    }

    // Camera Link to COM, until a read delivers nothing. Every read asks for a whole
    // block. In the default mode the first read waits 10 ms and the later ones take
    // what has come; a step that delivered bytes shortens the next COM read, so that a
    // camera that is still sending is read again soon. In the low-latency mode every read waits 1 ms, and a read that
    // delivers nothing ends the step only once the answer window or the quiet gap
    // after the last bytes has passed. A stop request ends the step between reads, so a
    // camera that keeps sending cannot hold the stop up.
    bool cameraLinkToCom(bool blockWritten)
    {
        const Clock::time_point stepStart = Clock::now();
        Clock::time_point lastBytes = stepStart;
        bool bytesCame = false;
        cameraSent_ = false;
        for (bool first = true;; first = false) {
            if (!first && !c_.running())
                return true;
            uint32_t count = kTransferBlockSize;
            const uint32_t timeout = lowLatency_ ? t_.lowLatency.clReadTimeoutMs : first ? t_.firstClReadTimeoutMs : 0;
            status_ = c_.clPort().read(buffer_.get(), count, timeout);
            if (status_ != 0) {
                // A failed read costs this step only; the next pass begins.
                c_.addLine(withStatus("Error reading from clser interface   error code: %d", status_));
                return true;
            }
            if (count == 0) {
                if (lowLatency_ && keepCollectingAnswer(t_.lowLatency, blockWritten, bytesCame,
                                                        millisecondsSince(stepStart), millisecondsSince(lastBytes)))
                    continue;
                return true;
            }
            cameraSent_ = true;
            if (lowLatency_) {
                bytesCame = true;
                lastBytes = Clock::now();
            }
            if (c_.echo())
                addTracedBlock("To Com:", buffer_.get(), count);
            if (!writeToCom(buffer_.get(), count))
                return false;
        }
    }

    // Writes a block to the COM port, with its pauses and retries (see writeBlockToCom).
    // The block fails only when the port reports an error or the rest still does not go.
    bool writeToCom(const uint8_t* bytes, uint32_t count)
    {
        const ComBlockWrite r = writeBlockToCom(
            bytes, count, t_.comWriteRetries,
            [this](const uint8_t* b, uint32_t n, uint32_t& written) { return c_.comPort().write(b, n, written); },
            [this] { Sleep(t_.comWriteRetryDelayMs); },
            [this](uint32_t sentSoFar) {
                char line[80];
                std::snprintf(line, sizeof line, "Retry after TotalBytesWritten: %" PRIu64, totalWritten_ + sentSoFar);
                c_.addLine(line);
            });
        status_ = r.status;
        totalWritten_ += r.sent;
        totalToWrite_ += count;
        if (r.complete(count))
            return true;
        CriticalSectionLock lock(c_.traceLock());
        char line[200];
        std::snprintf(line, sizeof line,
                      "Error writing to COM interface  error code: %d  TotalBytesWritten: %" PRIu64
                      "  TotalBytesToWrite: %" PRIu64 "\n",
                      status_, totalWritten_, totalToWrite_);
        return endWith(line);
    }

    BridgeConnection& c_;
    const TransferTimings& t_;
    std::unique_ptr<uint8_t[]> buffer_;
    int status_ = 0;
    // The last Camera Link to COM step delivered bytes.
    bool cameraSent_ = false;
    // Camera Link to COM only; 64 bits, so that a long-running bridge never overflows them.
    uint64_t totalToWrite_ = 0;
    uint64_t totalWritten_ = 0;
    // Low-latency mode: this pass's mode, the interval time-out in force, the port's own
    // value, and when a block last went to the camera.
    bool lowLatency_ = false;
    bool intervalSet_ = false;
    uint32_t portInterval_ = 0;
    Clock::time_point lastClWrite_{};
    bool anyClWrite_ = false;
};

} // namespace

DWORD WINAPI transferThreadProc(void* connection)
{
    TransferLoop loop(*static_cast<BridgeConnection*>(connection));
    return loop.run();
}

} // namespace clser
