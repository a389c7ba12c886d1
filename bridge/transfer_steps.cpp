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

namespace {

std::string failureLineOnly(TransferFailure failure, int status)
{
    switch (failure) {
    case TransferFailure::userRead:
        return withStatus("Error while reading from COM interface   error code: %d", status);
    case TransferFailure::cameraWrite:
        return withStatus("Error writing to clser interface   error code: %d", status);
    case TransferFailure::cameraRead:
        return withStatus("Error reading from clser interface   error code: %d", status);
    case TransferFailure::cameraReaderStart:
        return withStatus("Cannot start the Camera Link reader   error code: %d", status);
    }
    return withStatus("error code: %d", status);
}

} // namespace

std::string failureLine(TransferFailure failure, int status, const std::string& portText)
{
    return failureLineOnly(failure, status) + (portText.empty() ? "" : " (" + portText + ")");
}

bool TransferSteps::endWith(std::string line)
{
    link_.report.recordEvent(line);
    link_.report.addLine(std::move(line));
    link_.signals.connectionError = true;
    return false;
}

void TransferSteps::noteBlock(bool toCamera, const uint8_t* bytes, uint32_t count)
{
    link_.report.recordBlock(toCamera, bytes, count);
    if (link_.signals.echo)
        link_.report.addLinePair(toCamera ? "To ClSer:" : "To Com:", formatTraceLine(bytes, count));
}

bool TransferSteps::writeToCamera(const uint8_t* bytes, uint32_t count, int& status)
{
    uint32_t written = 0;
    status = link_.camera.write(bytes, count, written);
    if (status != 0)
        return endWith(failureLine(TransferFailure::cameraWrite, status, link_.camera.errorText(status)));
    return true;
}

bool TransferSteps::writeToUser(const uint8_t* bytes, uint32_t count, int& status)
{
    const TransferTimings& t = link_.timings;
    const ComBlockWrite r = writeBlockToCom(
        bytes, count, t.comWriteRetries,
        [this](const uint8_t* b, uint32_t n, uint32_t& written) { return link_.user.write(b, n, written); },
        [&t] { Sleep(t.comWriteRetryDelayMs); },
        [this](uint32_t sentSoFar) {
            char line[80];
            std::snprintf(line, sizeof line, "Retry after TotalBytesWritten: %" PRIu64, totalWritten_ + sentSoFar);
            link_.report.addLine(line);
        },
        [this] { return link_.running(); });
    status = r.status;
    totalWritten_ += r.sent;
    totalToWrite_ += count;
    if (r.complete(count))
        return true;
    // The user's stop (Disconnect, Exit) ended the retries: the rest of the block is
    // dropped with the connection, which is no fault of the port.
    if (r.stopped)
        return false;
    char line[200];
    std::snprintf(line, sizeof line,
                  "Error writing to COM interface  error code: %d  TotalBytesWritten: %" PRIu64
                  "  TotalBytesToWrite: %" PRIu64 "\n",
                  status, totalWritten_, totalToWrite_);
    return endWith(line);
}

} // namespace clser
