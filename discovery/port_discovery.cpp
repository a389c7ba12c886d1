#include "port_discovery.h"

#include "camera_link_enumeration.h"
#include "cl_serial_port_catalog.h"
#include "com_port_enumeration.h"
#include "virtual_pair_merge.h"

namespace clser::discovery {

bool PortDiscovery::enumerateCameraLinkPorts(const std::optional<std::string>& folder)
{
    std::vector<std::string> ownNames;
    discovery::enumerateCameraLinkPorts(ownNames);
    for (std::string& name : ownNames) {
        const int index = cameraLinkPortIndexOfName(name);
        clPorts_.push_back({std::move(name), std::string(), index});
    }
    OtherMakerPorts others = listOtherMakerPorts(folder);
    for (OtherMakerPort& port : others.ports)
        clPorts_.push_back({std::move(port.name), std::move(port.library), static_cast<int32_t>(port.index)});
    skippedLibraries_.insert(skippedLibraries_.end(), others.skipped.begin(), others.skipped.end());
    return !clPorts_.empty();
}

void PortDiscovery::refreshPortList()
{
    portEntries_.clear();
    enumerateComPorts();
    mergeVirtualPairs();
}

int PortDiscovery::enumerateComPorts() { return discovery::enumerateComPorts(portEntries_); }

void PortDiscovery::mergeVirtualPairs() { discovery::mergeVirtualPairs(portEntries_, pairLibrary_, ui_); }

} // namespace clser::discovery
