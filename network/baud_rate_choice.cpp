#include "baud_rate_choice.h"

#include "line_rates.h"

namespace clser::network {

uint32_t cameraLinkBaudConstant(uint32_t bitsPerSecond)
{
    for (const LineRate& r : kLineRates)
        if (r.rate == bitsPerSecond)
            return static_cast<uint32_t>(r.clBaudCode);
    return 0;
}

uint32_t bitsPerSecondOfConstant(uint32_t cameraLinkConstant)
{
    for (const LineRate& r : kLineRates)
        if (static_cast<uint32_t>(r.clBaudCode) == cameraLinkConstant)
            return r.rate;
    return 0;
}

uint32_t rateAfterRequest(uint32_t askedBitsPerSecond, uint32_t inForceBitsPerSecond)
{
    return cameraLinkBaudConstant(askedBitsPerSecond) != 0 ? askedBitsPerSecond : inForceBitsPerSecond;
}

} // namespace clser::network
