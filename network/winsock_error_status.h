// Failures of the network endpoint as statuses of the same kind the COM port gives
// (windows_error_status.h): an error number negated. Winsock's own codes (10000 and up)
// map to the numbers the C runtime gives the same conditions.
#pragma once

#include <cstdint>

namespace clser::network {

// The error number for a Winsock error code: 13 access denied, 22 invalid argument,
// 24 too many sockets, 100 address in use, 101 address not available, 106 connection
// aborted, 108 connection reset, 119 no buffer space, 126 not connected, 138 timed
// out, 19 Winsock not available; 0 for 0; 14 for codes without an entry.
int errorNumberFromWinsockError(int32_t winsockError);

inline int statusFromWinsockError(int32_t winsockError) { return -errorNumberFromWinsockError(winsockError); }

} // namespace clser::network
