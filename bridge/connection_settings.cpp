#include "connection_settings.h"

namespace clser {

std::string connectionRecordText(const ConnectionSettings& s)
{
    std::string userSide = s.network ? "network port " + network::ipv4AddressText(s.network->listenAddress) + ":" +
                                           std::to_string(s.network->port)
                                     : s.userPortName + " (" + s.bridgePortName + ")";
    return userSide + " <-> Camera Link port " + std::to_string(s.clPortIndex) + ", line settings " +
           lineSettingsText(s.line) +
           ", Camera Link rate " + std::to_string(baudRateForClBaudCode(s.clBaudCode)) +
           (s.lowLatency ? ", low-latency mode" : ", default mode");
}

} // namespace clser
