#include "network_keys.h"

#include "config_value_text.h"

namespace clser::profile {
namespace {

using network::NetworkSettingsParse;

std::string keyError(const char* key, std::string_view value, const char* why)
{
    return std::string(key) + ": " + network::shownValue(value) + " " + why;
}

NetworkSettingsParse failed(std::string error)
{
    NetworkSettingsParse result;
    result.error = std::move(error);
    return result;
}

} // namespace

NetworkSettingsParse parseNetworkSection(const NetworkSectionValues& values)
{
    if (values.tooLong != nullptr)
        return failed(std::string(values.tooLong) + ": the value is too long");
    const std::string_view port = trimmedValue(values.netport);
    const std::string_view address = trimmedValue(values.netaddress);
    const std::string_view protocol = trimmedValue(values.netprotocol);
    const std::string_view allow = trimmedValue(values.netallow);
    const std::string_view takeover = trimmedValue(values.nettakeover);
    if (port.empty()) {
        if (address.empty() && protocol.empty() && allow.empty() && takeover.empty())
            return {};
        return failed(std::string(kNetport) + ": missing; " + kNetaddress + ", " + kNetprotocol + ", " + kNetallow +
                      " and " + kNettakeover + " need a TCP port");
    }

    NetworkSettingsParse result;
    const auto portValue = network::parsePort(port);
    if (!portValue)
        return failed(keyError(kNetport, port, "is not a TCP port (1 to 65535)"));
    result.settings.port = *portValue;
    if (!address.empty()) {
        const auto listen = network::parseIpv4Address(address);
        if (!listen)
            return failed(keyError(kNetaddress, address,
                                   "is not an IPv4 address (four numbers 0 to 255 joined by dots; 0.0.0.0 for all)"));
        result.settings.listenAddress = *listen;
    }
    if (!protocol.empty()) {
        const auto kind = network::parseProtocol(protocol);
        if (!kind)
            return failed(keyError(kNetprotocol, protocol, "is neither rfc2217 nor raw"));
        result.settings.protocol = *kind;
    }
    std::string listError = network::parseAddressList(allow, " \t,;", kNetallow, result.settings.allowed);
    if (!listError.empty())
        return failed(std::move(listError));
    if (takeover == "1")
        result.settings.takeover = true;
    else if (!takeover.empty() && takeover != "0")
        return failed(keyError(kNettakeover, takeover, "is neither 0 nor 1"));
    result.configured = true;
    return result;
}

} // namespace clser::profile
