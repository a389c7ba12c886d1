#include "transfer_loop.h"

#include "trace_line.h"
#include "transfer_state.h"

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

} // namespace

DWORD WINAPI transferThreadProc(void*)
{
    static const TransferTimings t;
    TransferState& s = transferState();
    s.connectionError = false;
    auto buffer = std::make_unique<uint8_t[]>(kTransferBufferSize);
    int32_t totalToWrite = 0;
    int32_t totalWritten = 0;
    int status = 0;

    CriticalSectionLock portLock(s.portLock);
    while (s.run) {
        // COM to Camera Link.
        uint32_t n = 0;
        status = s.comPort.read(buffer.get(), kTransferBlockSize, n, t.comReadTimeoutMs);
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
        }

        // Camera Link to COM, until a read delivers nothing. Each later read asks for
        // at most as many bytes as the one before delivered.
        bool comWriteFailed = false;
        uint32_t count = kTransferBlockSize;
        for (bool first = true;; first = false) {
            status = s.clPort.read(buffer.get(), count, first ? t.firstClReadTimeoutMs : 0);
            if (status != 0) {
                addLine(s, format("Error reading from clser interface   error code: %d", status));
                break;
            }
            if (count == 0)
                break;
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
