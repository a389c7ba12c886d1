// A connection reached over TCP instead of a virtual COM port pair: its settings, the
// parsers of their values, and the one command-line word that carries them to the bridge
// program. Plain functions over texts; the profile names the section's keys and reads
// them (network_keys.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clser::network {

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
// A TCP port: decimal digits only, 1 to 65535.
std::optional<uint16_t> parsePort(std::string_view text);
// "rfc2217" or "raw", in any letter case.
std::optional<NetProtocol> parseProtocol(std::string_view text);
// A value shown in an error line: quoted, and cut short when long.
std::string shownValue(std::string_view value);
// Client addresses separated by any run of the separators given, appended to out (at
// most kMaxAllowedClients). Empty when all are good; else one line that begins with what.
std::string parseAddressList(std::string_view text, std::string_view separators, const char* what,
                             std::vector<uint32_t>& out);

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
