// The serial-port device names that Windows reports right now.
#pragma once

#include <string>
#include <vector>

namespace clser::vcom {

// The COM<digits> and TARVCOM<digits> names among all DOS device names, in the order
// the system gives them. Empty when the device list cannot be read.
std::vector<std::string> scanSerialDeviceNames();

} // namespace clser::vcom
