// Picking the COM ports out of the system's list of device names.
#pragma once

#include <cstddef>
#include "digit_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace clser::discovery {

using clser::isAllDigits;

// A serial port name: 4 to 7 characters, "COM" in any letter case followed by digits
// (COM1 to COM9999, com4).
bool isComPortDeviceName(std::string_view name);

// The names of a device list as QueryDosDevice fills it: zero-terminated names, ended
// by an empty name. Reads no further than length bytes, ended or not.
std::vector<std::string> splitDeviceNameList(const char* buffer, std::size_t length);

} // namespace clser::discovery
