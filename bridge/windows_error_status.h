// Failures of the COM port are reported as negated error numbers derived from the
// Windows error code, so that callers see small, stable numbers (-2: no such port).
#pragma once

#include <cstdint>

namespace clser {

// The error number for a Windows error code (0 for 0, 14 for codes without an entry).
int errorNumberFromWindowsError(uint32_t windowsError);

// The status for a Windows error code: the error number negated.
inline int statusFromWindowsError(uint32_t windowsError) { return -errorNumberFromWindowsError(windowsError); }

} // namespace clser
