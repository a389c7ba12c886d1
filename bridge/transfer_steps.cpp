#include "transfer_steps.h"

#include "com_block_write.h"
#include "trace_line.h"

#include <cinttypes>
#include <cstdio>

namespace clser {

std::string withStatus(const char* format, int status)
{
    char line[160];
    std::snprintf(line, sizeof line, format, status);
    return line;
}

bool TransferSteps::endWith(std::string line)
{
    c_.recordEvent(line);
    c_.addLine(std::move(line));
    c_.reportConnectionError();
    return false;
}

void TransferSteps::addTracedBlock(const char* heading, const uint8_t* bytes, uint32_t count)
{
    std::string line = formatTraceLine(bytes, count);
    CriticalSectionLock lock(c_.traceLock());
    c_.addLine(heading);
    c_.addLine(std::move(line));
}

bool TransferSteps::writeToCom(const uint8_t* bytes, uint32_t count, int& status)
{
    const TransferTimings& t = c_.timings();
    const ComBlockWrite r = writeBlockToCom(
        bytes, count, t.comWriteRetries,
        [this](const uint8_t* b, uint32_t n, uint32_t& written) { return c_.userSide().write(b, n, written); },
        [&t] { Sleep(t.comWriteRetryDelayMs); },
        [this](uint32_t sentSoFar) {
            char line[80];
            std::snprintf(line, sizeof line, "Retry after TotalBytesWritten: %" PRIu64, totalWritten_ + sentSoFar);
            c_.addLine(line);
        },
        [this] { return c_.running(); });
    status = r.status;
    totalWritten_ += r.sent;
    totalToWrite_ += count;
    // A stop that ends the retries leaves the rest of the block unwritten: the same line
    // says how much.
    if (r.complete(count))
        return true;
    CriticalSectionLock lock(c_.traceLock());
    char line[200];
    std::snprintf(line, sizeof line,
                  "Error writing to COM interface  error code: %d  TotalBytesWritten: %" PRIu64
                  "  TotalBytesToWrite: %" PRIu64 "\n",
                  status, totalWritten_, totalToWrite_);
    return endWith(line);
}

} // namespace clser
