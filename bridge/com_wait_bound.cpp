#include "com_wait_bound.h"

namespace clser {

uint32_t comWaitBoundMs(uint32_t multiplierMs, uint32_t constantMs, uint32_t bytes)
{
    if (multiplierMs == 0 && constantMs == 0)
        return kNoWaitBound;
    const uint64_t total = uint64_t{multiplierMs} * bytes + constantMs + kComTimeoutGraceMs;
    return total < kNoWaitBound ? static_cast<uint32_t>(total) : kNoWaitBound - 1;
}

} // namespace clser
