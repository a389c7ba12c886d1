// How long the bridge waits for a COM read or write before it cancels it: well past the
// total time-out the port was given, since a port that misses its time-out (Wine's does
// now and then when bytes arrive just as it runs out) would otherwise keep the
// operation waiting for its full count forever. Plain numbers, checked without a port.
#pragma once

#include <cstdint>

namespace clser {

constexpr uint32_t kNoWaitBound = 0xFFFFFFFF;   // the same value as INFINITE
constexpr uint32_t kComTimeoutGraceMs = 50;

// From the total time-out fields of the operation (multiplier per byte, constant) and
// its byte count: kNoWaitBound when they set no total time-out (both 0), else that
// total plus the grace, at most kNoWaitBound - 1.
uint32_t comWaitBoundMs(uint32_t multiplierMs, uint32_t constantMs, uint32_t bytes);

} // namespace clser
