// Reads a connection section's network keys from the configuration file. The values
// are longer than the common reader's 7 characters (an allow list of addresses), so
// they are read into a buffer of their own.
#pragma once

#include "network_settings.h"

#include <string>

namespace clser::network {

// Text values longer than this are reported too long (NetworkSectionValues::tooLong).
inline constexpr int kNetworkValueBufferSize = 512;

NetworkSectionValues readNetworkSectionValues(const std::string& configPath, const std::string& section);

// The same, parsed.
NetworkSettingsParse readNetworkSettings(const std::string& configPath, const std::string& section);

} // namespace clser::network
