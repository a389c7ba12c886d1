#include "baud_rate_choice.h"

namespace clser::network {
namespace {

struct Rate {
    uint32_t bitsPerSecond;
    uint32_t constant;
};

constexpr Rate kRates[] = {
    {9600, 1}, {19200, 2}, {38400, 4}, {57600, 8}, {115200, 16}, {230400, 32}, {460800, 64}, {921600, 128},
};

} // namespace

uint32_t cameraLinkBaudConstant(uint32_t bitsPerSecond)
{
    for (const Rate& r : kRates)
        if (r.bitsPerSecond == bitsPerSecond)
            return r.constant;
    return 0;
}

uint32_t bitsPerSecondOfConstant(uint32_t cameraLinkConstant)
{
    for (const Rate& r : kRates)
        if (r.constant == cameraLinkConstant)
            return r.bitsPerSecond;
    return 0;
}

uint32_t rateAfterRequest(uint32_t askedBitsPerSecond, uint32_t inForceBitsPerSecond)
{
    return cameraLinkBaudConstant(askedBitsPerSecond) != 0 ? askedBitsPerSecond : inForceBitsPerSecond;
}

} // namespace clser::network
