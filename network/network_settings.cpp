#include "network_settings.h"

#include "config_value_text.h"

#include <cctype>
#include <cstdio>

namespace clser::network {
namespace {

constexpr std::string_view kWordPrefix = "NETWORK=";
constexpr std::string_view kTakeoverField = "TAKEOVER";

bool sameLetters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string shown(std::string_view value) { return shownValue(value); }

std::string keyError(const char* key, std::string_view value, const char* why)
{
    return std::string(key) + ": " + shown(value) + " " + why;
}

NetworkSettingsParse failed(std::string error)
{
    NetworkSettingsParse result;
    result.error = std::move(error);
    return result;
}

} // namespace

// A shown value: quoted, and cut short when long, so an error line stays one line.
std::string shownValue(std::string_view value) { return quotedValue(value, 40); }

std::optional<uint16_t> parsePort(std::string_view text)
{
    const auto value = boundedDecimal(text, 5, 1, 65535);
    if (!value)
        return std::nullopt;
    return static_cast<uint16_t>(*value);
}

std::optional<NetProtocol> parseProtocol(std::string_view text)
{
    if (sameLetters(text, "rfc2217"))
        return NetProtocol::Rfc2217;
    if (sameLetters(text, "raw"))
        return NetProtocol::Raw;
    return std::nullopt;
}

std::string parseAddressList(std::string_view text, std::string_view separators, const char* what,
                             std::vector<uint32_t>& out)
{
    std::size_t at = 0;
    while (at < text.size()) {
        if (separators.find(text[at]) != std::string_view::npos) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && separators.find(text[end]) == std::string_view::npos)
            ++end;
        const std::string_view item = text.substr(at, end - at);
        const auto address = parseIpv4Address(item);
        if (!address)
            return keyError(what, item, "is not an IPv4 address (four numbers 0 to 255 joined by dots)");
        if (*address == kAnyAddress)
            return keyError(what, item, "is no client's address");
        if (out.size() == kMaxAllowedClients)
            return std::string(what) + ": more than " + std::to_string(kMaxAllowedClients) + " addresses";
        out.push_back(*address);
        at = end;
    }
    return {};
}

std::optional<uint32_t> parseIpv4Address(std::string_view text)
{
    uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.')
                return std::nullopt;
            text.remove_prefix(1);
        }
        std::size_t digits = 0;
        uint32_t value = 0;
        while (digits < text.size() && digits < 4 && std::isdigit(static_cast<unsigned char>(text[digits]))) {
            value = value * 10 + static_cast<uint32_t>(text[digits] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255 || (digits > 1 && text.front() == '0'))
            return std::nullopt;
        text.remove_prefix(digits);
        address = (address << 8) | value;
    }
    if (!text.empty())
        return std::nullopt;
    return address;
}

std::string ipv4AddressText(uint32_t a)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", (a >> 24) & 255u, (a >> 16) & 255u, (a >> 8) & 255u, a & 255u);
    return buf;
}

bool clientAllowed(const NetworkSettings& settings, uint32_t clientAddress)
{
    if (settings.allowed.empty())
        return true;
    for (uint32_t a : settings.allowed)
        if (a == clientAddress)
            return true;
    return false;
}

std::string networkWord(const NetworkSettings& s)
{
    std::string word(kWordPrefix);
    word += s.protocol == NetProtocol::Raw ? "RAW" : "RFC2217";
    word += ":" + ipv4AddressText(s.listenAddress) + ":" + std::to_string(s.port);
    for (std::size_t i = 0; i < s.allowed.size(); ++i)
        word += (i == 0 ? ":" : "+") + ipv4AddressText(s.allowed[i]);
    if (s.takeover)
        word += ":" + std::string(kTakeoverField);
    return word;
}

bool isNetworkWord(std::string_view argument)
{
    return argument.size() >= kWordPrefix.size() && sameLetters(argument.substr(0, kWordPrefix.size()), kWordPrefix);
}

NetworkSettingsParse parseNetworkWord(std::string_view argument)
{
    if (!isNetworkWord(argument))
        return failed("not a network word: " + shown(argument));
    std::string_view rest = argument.substr(kWordPrefix.size());
    std::string_view fields[5];
    int count = 0;
    while (true) {
        const std::size_t colon = rest.find(':');
        if (count == 5)
            return failed("network word: more than four fields in " + shown(argument));
        fields[count++] = rest.substr(0, colon);
        if (colon == std::string_view::npos)
            break;
        rest.remove_prefix(colon + 1);
    }
    if (count < 3)
        return failed("network word: protocol, address and port expected in " + shown(argument));

    NetworkSettingsParse result;
    const auto protocol = parseProtocol(fields[0]);
    if (!protocol)
        return failed("network word: " + shown(fields[0]) + " is neither RFC2217 nor RAW");
    const auto listen = parseIpv4Address(fields[1]);
    if (!listen)
        return failed("network word: " + shown(fields[1]) + " is not an IPv4 address");
    const auto port = parsePort(fields[2]);
    if (!port)
        return failed("network word: " + shown(fields[2]) + " is not a TCP port (1 to 65535)");
    result.settings.protocol = *protocol;
    result.settings.listenAddress = *listen;
    result.settings.port = *port;
    if (count > 3 && sameLetters(fields[count - 1], kTakeoverField)) {
        result.settings.takeover = true;
        --count;
    }
    if (count == 5)
        return failed("network word: more than four fields in " + shown(argument));
    if (count == 4) {
        if (fields[3].empty())
            return failed("network word: empty list of allowed clients in " + shown(argument));
        std::string listError = parseAddressList(fields[3], "+", "network word", result.settings.allowed);
        if (!listError.empty())
            return failed(std::move(listError));
    }
    result.configured = true;
    return result;
}

} // namespace clser::network
