// The transfer thread: copies bytes from the COM port to the Camera Link port and
// back, taking turns, until it is told to stop or a transfer fails.
#pragma once

#include <windows.h>

namespace clser {

// Thread procedure; the argument is the BridgeConnection whose ports, flags and locks
// the thread works on. Returns the last status it got (0 after a stop request that
// followed successful transfers).
DWORD WINAPI transferThreadProc(void* connection);

} // namespace clser
