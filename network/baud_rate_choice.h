// Which Camera Link line rate a client's request for a rate in bits per second asks
// for. The Camera Link serial API offers eight rates (line_rates.h).
#pragma once

#include <cstdint>

namespace clser::network {

// The rate in force after a client asks for a rate: the asked rate when the Camera Link
// line offers it, else (a query with 0 included) the rate in force, unchanged.
uint32_t rateAfterRequest(uint32_t askedBitsPerSecond, uint32_t inForceBitsPerSecond);

} // namespace clser::network
