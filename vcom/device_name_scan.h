// The serial-port device names that Windows reports right now.
#pragma once

#include <string>
#include <vector>

namespace clser::vcom {

// The COM<digits> and TARVCOM<digits> names among all DOS device names, in the order
// QueryDosDeviceA gives them. Empty on failure, with the thread's error code set.
std::vector<std::string> scanSerialDeviceNames();

} // namespace clser::vcom
