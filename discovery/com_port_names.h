// Picking the COM ports out of the system's list of device names.
#pragma once

#include "digit_text.h"

#include <string_view>

namespace clser::discovery {

using clser::isAllDigits;

// A serial port name: 4 to 7 characters, "COM" in any letter case followed by digits
// (COM1 to COM9999, com4).
bool isComPortDeviceName(std::string_view name);

} // namespace clser::discovery
