#include "port_discovery.h"

#include "camera_link_enumeration.h"
#include "com_port_enumeration.h"
#include "virtual_pair_merge.h"

namespace clser::discovery {

bool PortDiscovery::enumerateCameraLinkPorts() { return discovery::enumerateCameraLinkPorts(clPortNames_); }

void PortDiscovery::refreshPortList()
{
    portEntries_.clear();
    enumerateComPorts();
    mergeVirtualPairs();
}

int PortDiscovery::enumerateComPorts() { return discovery::enumerateComPorts(portEntries_); }

void PortDiscovery::mergeVirtualPairs() { discovery::mergeVirtualPairs(portEntries_, pairLibrary_, ui_); }

} // namespace clser::discovery
