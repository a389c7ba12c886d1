#include "low_latency_timing.h"

#include <algorithm>

namespace clser {

uint32_t cameraPollIntervalMs(const LowLatencyTimings& t, uint32_t sinceTrafficMs)
{
    if (sinceTrafficMs < t.fastWindowMs)
        return t.pollMs;
    const uint32_t idle = std::max(t.idlePollMs, t.pollMs);
    return std::clamp(sinceTrafficMs / 10, t.pollMs, idle);
}

} // namespace clser
