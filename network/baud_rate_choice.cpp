#include "baud_rate_choice.h"

#include "line_rates.h"

namespace clser::network {

uint32_t rateAfterRequest(uint32_t askedBitsPerSecond, uint32_t inForceBitsPerSecond)
{
    return clBaudCodeForRate(askedBitsPerSecond) != 0 ? askedBitsPerSecond : inForceBitsPerSecond;
}

} // namespace clser::network
