// Which Camera Link line rate a client's request for a rate in bits per second asks
// for. The Camera Link serial API offers eight rates, each with its own constant.
#pragma once

#include <cstdint>

namespace clser::network {

// The Camera Link baud-rate constant (1, 2, 4, ... 128) for 9600, 19200, 38400, 57600,
// 115200, 230400, 460800 or 921600 bits per second; 0 for any other rate.
uint32_t cameraLinkBaudConstant(uint32_t bitsPerSecond);

// The bits per second of a Camera Link baud-rate constant; 0 for a value that is none.
uint32_t bitsPerSecondOfConstant(uint32_t cameraLinkConstant);

// The rate in force after a client asks for a rate: the asked rate when the Camera Link
// line offers it, else (a query with 0 included) the rate in force, unchanged.
uint32_t rateAfterRequest(uint32_t askedBitsPerSecond, uint32_t inForceBitsPerSecond);

} // namespace clser::network
