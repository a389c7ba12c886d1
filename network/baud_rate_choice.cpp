#include "baud_rate_choice.h"

#include "line_rates.h"

namespace clser::network {

uint32_t cameraLinkBaudConstant(uint32_t bitsPerSecond)
{
    return static_cast<uint32_t>(clBaudCodeForRate(bitsPerSecond));
}

uint32_t bitsPerSecondOfConstant(uint32_t cameraLinkConstant)
{
    // A value beyond the signed range is no constant.
    return cameraLinkConstant > INT32_MAX ? 0 : rateOfClBaudCode(static_cast<int32_t>(cameraLinkConstant));
}

uint32_t rateAfterRequest(uint32_t askedBitsPerSecond, uint32_t inForceBitsPerSecond)
{
    return cameraLinkBaudConstant(askedBitsPerSecond) != 0 ? askedBitsPerSecond : inForceBitsPerSecond;
}

} // namespace clser::network
