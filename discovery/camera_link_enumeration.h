// Asks the frame-grabber SDK for its boards and lists their Camera Link serial ports.
#pragma once

#include <string>
#include <vector>

namespace clser::discovery {

// Appends one display name per Camera Link serial port of the installed boards, numbered
// from 0 across all boards ("0. A_Port0", "1. A_Port1", "2. B_Port0", ...). True when at
// least one name was added; false, with the list unchanged, when the SDK is missing,
// reports no board or no board has a name and serial ports. At most 256 device indices
// are probed and at most 64 ports taken from one board, whatever the SDK claims.
bool enumerateCameraLinkPorts(std::vector<std::string>& clPortNames);

} // namespace clser::discovery
