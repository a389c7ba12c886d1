#include "initial_selection.h"

#include "camera_link_port_names.h"

#include <algorithm>

namespace clser::app {

StartChoice chooseInitialSelection(const std::string& startPortName, ConnectionSettings& settings,
                                   const std::vector<VirtualPair>& portEntries,
                                   const std::vector<discovery::CameraLinkPort>& clPorts)
{
    if (startPortName.size() < 2) {
        const auto pair = std::find_if(portEntries.begin(), portEntries.end(),
                                       [](const VirtualPair& e) { return e.pairId.size() >= 2; });
        if (pair != portEntries.end()) {
            settings.userPortName = pair->portName;
            settings.bridgePortName = pair->partnerName;
        }
        if (!clPorts.empty()) {
            settings.clPortIndex = clPorts.front().index;
            settings.clLibrary = clPorts.front().library;
        }
        return StartChoice::NoStartPort;
    }
    const bool listed = std::any_of(portEntries.begin(), portEntries.end(), [&](const VirtualPair& e) {
        return e.portName == startPortName && e.partnerName.size() >= 2;
    });
    if (listed && discovery::cameraLinkPortPosition(clPorts, settings.clLibrary, settings.clPortIndex) >= 0)
        return StartChoice::Connect;
    settings.userPortName.clear();
    settings.bridgePortName.clear();
    settings.clPortIndex = -1;
    return StartChoice::StartPortUnusable;
}

void dropUnlistedPort(ConnectionSettings& settings, const std::vector<VirtualPair>& portEntries)
{
    const bool listed = std::any_of(portEntries.begin(), portEntries.end(),
                                    [&](const VirtualPair& e) { return e.portName == settings.userPortName; });
    if (!listed) {
        settings.userPortName.clear();
        settings.bridgePortName.clear();
    }
}

} // namespace clser::app
