// The launcher's view of the configuration file: the sections it reads and writes beside
// the profile's (connection_profile.h), and the bridge end it looks for.
#pragma once

#include <string>
#include <string_view>

namespace clser::autorun {

// The "com" value of section connection<number>, empty when absent.
std::string readComValue(const std::string& configPath, int number);

// Writes the section of a first run: com = the pair's COM-side name, clser = index,
// and the default line settings, run and connect, in this order.
void writeFirstRunSection(const std::string& configPath, int number, const std::string& comPortName, int clIndex);

// The bridge end of the pair (partnerName) of the COM port name in upper case.
std::string bridgeSearchKey(std::string_view comPortName);

} // namespace clser::autorun
