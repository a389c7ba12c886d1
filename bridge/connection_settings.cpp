#include "connection_settings.h"

#include "cl_serial_library_names.h"

namespace clser {

std::string connectionRecordText(const ConnectionSettings& s)
{
    std::string userSide = s.network ? "network port " + network::ipv4AddressText(s.network->listenAddress) + ":" +
                                           std::to_string(s.network->port)
                                     : s.userPortName + " (" + s.bridgePortName + ")";
    return userSide + " <-> Camera Link port " + std::to_string(s.clPortIndex) +
           (isOwnClSerialLibrary(s.clLibrary) ? "" : " of " + s.clLibrary) + ", line settings " +
           lineSettingsText(s.line) +
           ", Camera Link rate " + std::to_string(baudRateForClBaudCode(s.clBaudCode)) +
           (s.lowLatency ? ", low-latency mode" : ", default mode");
}

std::string cameraLinkPortText(const std::string& clLibrary, const std::string& maker, int32_t index)
{
    if (isOwnClSerialLibrary(clLibrary))
        return "Camera Link port " + std::to_string(index);
    return otherMakerPortName(maker.empty() ? clLibrary : maker, static_cast<uint32_t>(index));
}

std::string refusedRateLine(const std::string& portText, uint32_t bitsPerSecond, uint32_t rateMask)
{
    return portText + " does not run at " + std::to_string(bitsPerSecond) +
           " baud; the rates it has: " + supportedRatesText(rateMask);
}

} // namespace clser
