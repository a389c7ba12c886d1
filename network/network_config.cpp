#include "network_config.h"

#include <windows.h>

namespace clser::network {
namespace {

// The value, or empty when absent; a value that fills the buffer is too long.
std::string readLongValue(const std::string& configPath, const std::string& section, const char* key,
                          const char*& tooLong)
{
    char buf[kNetworkValueBufferSize] = {};
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key, "", buf, sizeof buf, configPath.c_str());
    if (length >= sizeof buf - 1 && tooLong == nullptr)
        tooLong = key;
    return std::string(buf, length);
}

} // namespace

NetworkSectionValues readNetworkSectionValues(const std::string& configPath, const std::string& section)
{
    NetworkSectionValues values;
    values.netport = readLongValue(configPath, section, kNetport, values.tooLong);
    values.netaddress = readLongValue(configPath, section, kNetaddress, values.tooLong);
    values.netprotocol = readLongValue(configPath, section, kNetprotocol, values.tooLong);
    values.netallow = readLongValue(configPath, section, kNetallow, values.tooLong);
    values.nettakeover = readLongValue(configPath, section, kNettakeover, values.tooLong);
    return values;
}

NetworkSettingsParse readNetworkSettings(const std::string& configPath, const std::string& section)
{
    return parseNetworkSection(readNetworkSectionValues(configPath, section));
}

} // namespace clser::network
