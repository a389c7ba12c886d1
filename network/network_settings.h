// A connection reached over TCP instead of a virtual COM port pair: its settings as the
// configuration file names them (keys netport, netaddress, netprotocol, netallow in the
// connection's section), and the one command-line word that carries them to the bridge
// program. Plain functions over texts; the profile reads the file (connection_profile.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clser::network {

inline constexpr char kNetport[] = "netport";
inline constexpr char kNetaddress[] = "netaddress";
inline constexpr char kNetprotocol[] = "netprotocol";
inline constexpr char kNetallow[] = "netallow";
inline constexpr char kNettakeover[] = "nettakeover";

// RFC 2217 (telnet COM-PORT-OPTION) or the bytes as they are.
enum class NetProtocol { Rfc2217, Raw };

inline constexpr uint32_t kLoopbackAddress = 0x7F000001;  // 127.0.0.1
inline constexpr uint32_t kAnyAddress = 0;                 // 0.0.0.0: every interface
inline constexpr std::size_t kMaxAllowedClients = 16;

struct NetworkSettings {
    uint16_t port = 0;
    uint32_t listenAddress = kLoopbackAddress;  // IPv4, host byte order
    NetProtocol protocol = NetProtocol::Rfc2217;
    std::vector<uint32_t> allowed;              // empty: every client may connect
    // A new client takes the connection over from the one served (which is closed);
    // otherwise the new one is turned away while one is served.
    bool takeover = false;

    bool operator==(const NetworkSettings& o) const
    {
        return port == o.port && listenAddress == o.listenAddress && protocol == o.protocol && allowed == o.allowed &&
               takeover == o.takeover;
    }
};

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

struct NetworkSettingsParse {
    // True when the values ask for a network connection and all of them are good.
    bool configured = false;
    NetworkSettings settings;
    // Empty when the values are good (or absent); else one line naming the key and why.
    std::string error;
};

// "a.b.c.d" with four decimal parts 0 to 255 (no sign, no leading zero, nothing else).
std::optional<uint32_t> parseIpv4Address(std::string_view text);
std::string ipv4AddressText(uint32_t address);

// A section without any of the keys is a connection through the COM port pair
// (configured false, no error); with netport, a network connection.
NetworkSettingsParse parseNetworkSection(const NetworkSectionValues& values);

// Whether a client at this address may connect.
bool clientAllowed(const NetworkSettings& settings, uint32_t clientAddress);

// The bridge program's command-line word: "NETWORK=RFC2217:127.0.0.1:4001", with the
// allowed clients after one more ":" joined by "+" ("NETWORK=RAW:0.0.0.0:4001:10.0.0.5+10.0.0.6"),
// and ":TAKEOVER" last when a new client takes the connection over.
// No comma, no blank, no quote: the program's command line upper-cases every argument
// and takes one with a comma as line settings.
std::string networkWord(const NetworkSettings& settings);
// Whether an argument is the network word (its prefix, in any letter case).
bool isNetworkWord(std::string_view argument);
// The settings the word carries, letter case as the command line gives it.
NetworkSettingsParse parseNetworkWord(std::string_view argument);

} // namespace clser::network
