#include "transfer_loop.h"

#include "low_latency_timing.h"
#include "trace_line.h"
#include "transfer_state.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace clser {

TransferState& transferState()
{
    static TransferState state;
    return state;
}

namespace {

std::string format(const char* fmt, int a)
{
    char buf[160];
    std::snprintf(buf, sizeof buf, fmt, a);
    return buf;
}

void addLine(TransferState& s, std::string line)
{
    if (TraceSink* sink = s.traceList.load())
        sink->addLine(std::move(line));
}

void addTracedBlock(TransferState& s, const char* heading, const uint8_t* bytes, uint32_t count)
{
    addLine(s, heading);
    std::string line = formatTraceLine(bytes, count);
    CriticalSectionLock lock(s.traceLock);
    addLine(s, std::move(line));
}

using Clock = std::chrono::steady_clock;

uint32_t millisecondsSince(Clock::time_point start)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return ms < 0 ? 0 : ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<uint32_t>(ms);
}

} // namespace

DWORD WINAPI transferThreadProc(void*)
{
    static const TransferTimings t;
    static const LowLatencyTimings lt;
    TransferState& s = transferState();
    s.connectionError = false;
    auto buffer = std::make_unique<uint8_t[]>(kTransferBufferSize);
    int32_t totalToWrite = 0;
    int32_t totalWritten = 0;
    int status = 0;
    // The low-latency mode sets the port's read interval time-out; the value it found
    // is put back when the default mode returns.
    bool intervalSet = false;
    uint32_t portReadInterval = 0;
    Clock::time_point lastClWrite{};
    bool anyClWrite = false;

    CriticalSectionLock portLock(s.portLock);
    while (s.run) {
        // The mode is taken once per pass, so a change reaches a running connection.
        const bool lowLatency = s.lowLatency;
        if (lowLatency != intervalSet) {
            status = lowLatency ? s.comPort.setReadIntervalTimeout(lt.comReadIntervalMs, &portReadInterval)
                                : s.comPort.setReadIntervalTimeout(portReadInterval);
            if (status != 0) {
                addLine(s, format("Error while reading from COM interface   error code: %d", status));
                break;
            }
            intervalSet = lowLatency;
        }

        // COM to Camera Link.
        const uint32_t comReadTimeout =
            lowLatency ? lowLatencyComReadTimeout(lt, anyClWrite ? millisecondsSince(lastClWrite) : kNoBlockWrittenYet)
                       : t.comReadTimeoutMs;
        uint32_t n = 0;
        status = s.comPort.read(buffer.get(), kTransferBlockSize, n, comReadTimeout);
        if (status != 0) {
            addLine(s, format("Error while reading from COM interface   error code: %d", status));
            break;
        }
        if (n > 0) {
            if (s.echo)
                addTracedBlock(s, "To ClSer:", buffer.get(), n);
            uint32_t written = 0;
            status = s.clPort.write(buffer.get(), n, written);
            if (status != 0) {
                addLine(s, format("Error writing to clser interface   error code: %d", status));
                break;
            }
            lastClWrite = Clock::now();
            anyClWrite = true;
        }

        // Camera Link to COM, until a read delivers nothing. In the default mode the
        // first read waits 10 ms and each later one asks for at most as many bytes as
        // the one before delivered. In the low-latency mode every read waits 1 ms and
        // asks for a whole block, and a read that delivers nothing ends the step only
        // once the answer window or the quiet gap after the last bytes has passed.
        bool comWriteFailed = false;
        uint32_t count = kTransferBlockSize;
        const Clock::time_point stepStart = Clock::now();
        Clock::time_point lastBytes = stepStart;
        bool bytesCame = false;
        for (bool first = true;; first = false) {
            if (lowLatency)
                count = kTransferBlockSize;
            const uint32_t clReadTimeout = lowLatency ? lt.clReadTimeoutMs : first ? t.firstClReadTimeoutMs : 0;
            status = s.clPort.read(buffer.get(), count, clReadTimeout);
            if (status != 0) {
                addLine(s, format("Error reading from clser interface   error code: %d", status));
                break;
            }
            if (count == 0) {
                if (lowLatency && keepCollectingAnswer(lt, n > 0, bytesCame, millisecondsSince(stepStart),
                                                       millisecondsSince(lastBytes)))
                    continue;
                break;
            }
            if (lowLatency) {
                bytesCame = true;
                lastBytes = Clock::now();
            }
            const uint32_t m = count;
            if (s.echo)
                addTracedBlock(s, "To Com:", buffer.get(), m);

            uint32_t written = 0;
            status = s.comPort.write(buffer.get(), m, written);
            if (status == 0 && written == 0) {
                addLine(s, format("Retry after TotalBytesWritten: %d", static_cast<int>(totalWritten)));
                for (int retry = 0; retry < t.comWriteRetries && status == 0 && written == 0; ++retry) {
                    Sleep(t.comWriteRetryDelayMs);
                    status = s.comPort.write(buffer.get(), m, written);
                }
            }
            totalToWrite += static_cast<int32_t>(m);
            totalWritten += static_cast<int32_t>(written);
            if (status < 0 || written != m) {
                CriticalSectionLock lock(s.traceLock);
                char line[200];
                std::snprintf(line, sizeof line,
                              "Error writing to COM interface  error code: %d  TotalBytesWritten: %d  "
                              "TotalBytesToWrite: %d\n",
                              status, static_cast<int>(totalWritten), static_cast<int>(totalToWrite));
                addLine(s, line);
                s.connectionError = true;
                comWriteFailed = true;
                break;
            }
        }
        if (comWriteFailed)
            break;
    }
    return static_cast<DWORD>(status);
}

} // namespace clser
