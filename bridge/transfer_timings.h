// The waits of the transfer thread, as one value that a connection is given, so that a
// console host or a benchmark can choose other ones without another build.
#pragma once

#include "low_latency_timing.h"

#include <cstdint>

namespace clser {

struct TransferTimings {
    // Default mode: the COM read of a pass, the first Camera Link read of a pass.
    uint32_t comReadTimeoutMs = 100;
    uint32_t firstClReadTimeoutMs = 10;
    // A COM write that writes nothing is tried again this often, this long apart.
    uint32_t comWriteRetryDelayMs = 200;
    int comWriteRetries = 10;
    LowLatencyTimings lowLatency;
};

constexpr uint32_t kTransferBlockSize = 1024;
constexpr uint32_t kTransferBufferSize = 4096;

} // namespace clser
