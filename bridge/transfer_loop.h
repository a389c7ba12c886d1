// The transfer thread: copies bytes from the COM port to the Camera Link port and
// back, taking turns, until it is told to stop or a transfer fails.
#pragma once

#include <windows.h>

#include <cstdint>

namespace clser {

struct TransferTimings {
    uint32_t comReadTimeoutMs = 100;
    uint32_t firstClReadTimeoutMs = 10;
    uint32_t comWriteRetryDelayMs = 200;
    int comWriteRetries = 10;
};

constexpr uint32_t kTransferBlockSize = 1024;
constexpr uint32_t kTransferBufferSize = 4096;

// Thread procedure; the argument is unused (the thread works on transferState()).
// Returns the last status it got.
DWORD WINAPI transferThreadProc(void* connection);

} // namespace clser
