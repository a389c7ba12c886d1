// Which DOS device names are ends of serial ports, and which COM numbers they take.
#pragma once

#include "digit_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace clser::vcom {

using clser::isAllDigits;

// The names of a QueryDosDeviceA listing (see splitDosDeviceNames) that look like serial
// ports: at most 14 characters, COM<digits> or TARVCOM<digits> in any case.
std::vector<std::string> filterSerialDeviceNames(std::string_view zeroSeparatedNames);

// The numbers of COM<digits> and TARVCOM<digits> names (upper case only), in list order,
// duplicates kept. A number too large for an int is no port number and is left out.
std::vector<int> collectUsedPortNumbers(const std::vector<std::string>& deviceNames);

} // namespace clser::vcom
