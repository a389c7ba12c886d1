// The low-latency transfer mode: its waits and the decision that uses them. In this
// mode the COM side takes bytes the moment they arrive, and the Camera Link side is
// polled with reads that return at once, paced by the bridge's own precise timer:
// quickly for a while after traffic, then less and less often while the line is quiet.
// No wait on the path is a library's or a driver's time-out, so the mode answers as
// quickly where those are counted in system ticks. Plain numbers, checked without a port.
#pragma once

#include <cstdint>

namespace clser {

struct LowLatencyTimings {
    // The Camera Link poll interval while traffic is recent.
    uint32_t pollMs = 1;
    // How long after the last traffic (a block to the camera, bytes from it) the polls
    // stay quick: a camera that answers within this long is heard within pollMs.
    uint32_t fastWindowMs = 500;
    // The longest poll interval, reached once the line has been quiet for a while: an
    // idle connection wakes about as often as one in the default mode.
    uint32_t idlePollMs = 100;
};

// Milliseconds until the next Camera Link poll, from the milliseconds since the last
// traffic. Quick within the window; after it a tenth of the quiet time, so that a
// camera that answers late is still heard within a tenth of its delay, up to idlePollMs.
uint32_t cameraPollIntervalMs(const LowLatencyTimings& t, uint32_t sinceTrafficMs);

} // namespace clser
