// The network keys of a connection's section (netport, netaddress, netprotocol, netallow,
// nettakeover) and their reading into the endpoint's settings (network_settings.h).
#pragma once

#include "network_settings.h"

#include <string>

namespace clser::profile {

inline constexpr char kNetport[] = "netport";
inline constexpr char kNetaddress[] = "netaddress";
inline constexpr char kNetprotocol[] = "netprotocol";
inline constexpr char kNetallow[] = "netallow";
inline constexpr char kNettakeover[] = "nettakeover";

// The section's values as read, empty when a key is absent. tooLong names a key whose
// value did not fit the reader's buffer.
struct NetworkSectionValues {
    std::string netport;
    std::string netaddress;
    std::string netprotocol;
    std::string netallow;
    std::string nettakeover;
    const char* tooLong = nullptr;
};

// A section without any of the keys is a connection through the COM port pair
// (configured false, no error); with netport, a network connection: RFC 2217 on the
// loopback unless the other keys say otherwise.
network::NetworkSettingsParse parseNetworkSection(const NetworkSectionValues& values);

} // namespace clser::profile
