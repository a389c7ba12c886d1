// The waits of the transfer thread, as one value that a connection is given, so that a
// console host or a benchmark can choose other ones without another build.
#pragma once

#include "endpoint_timings.h"
#include "low_latency_timing.h"

#include <cstdint>

namespace clser {

struct TransferTimings {
    // Default mode: the COM read of a pass, the first Camera Link read of a pass.
    uint32_t comReadTimeoutMs = 100;
    // Default mode: the COM read of a pass that follows one in which the camera sent
    // bytes. A camera still sending fills the grabber's receive buffer while the COM
    // read waits: at 921600 baud, 100 ms of the line is more than 9 KB, which a 4 KB
    // buffer cannot hold; 10 ms of it is under 1 KB.
    uint32_t comReadWhileCameraSendsMs = 10;
    uint32_t firstClReadTimeoutMs = 10;
    // A COM write that writes nothing is tried again this often, this long apart.
    uint32_t comWriteRetryDelayMs = 200;
    int comWriteRetries = 10;
    LowLatencyTimings lowLatency;
    // The bounds on a network client.
    network::EndpointTimings network;
};

constexpr uint32_t kTransferBlockSize = 1024;
constexpr uint32_t kTransferBufferSize = 4096;

} // namespace clser
