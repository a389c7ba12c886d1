// The bounds an endpoint keeps on its client, as one value, so that a test or a console
// host can make them small.
#pragma once

#include <cstdint>

namespace clser::network {

struct EndpointTimings {
    // A client whose sending makes no progress for this long (it stopped reading while
    // bytes wait for it) is dropped.
    uint32_t stalledClientMs = 5000;
    // A client that ended its sending side keeps getting the camera's bytes until the
    // camera has been quiet this long.
    uint32_t halfClosedQuietMs = 2000;
    // TCP keepalive of the served socket: the first probe after this much silence, then
    // one probe every interval, so that the port is freed soon after a client's host
    // vanished without a word.
    uint32_t keepaliveIdleMs = 10000;
    uint32_t keepaliveIntervalMs = 1000;
};

} // namespace clser::network
