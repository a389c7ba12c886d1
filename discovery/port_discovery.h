// The bridge program's two port lists: the Camera Link serial port names and the COM
// ports with the installed virtual pairs. The main dialog owns one for its whole life.
#pragma once

#include "discovery_ui.h"
#include "pair_library.h"
#include "virtual_pair.h"

#include <string>
#include <vector>

namespace clser::discovery {

class PortDiscovery {
public:
    PortDiscovery(PairLibrary& pairLibrary, DiscoveryUi& ui) : pairLibrary_(pairLibrary), ui_(ui) {}

    // Appends the Camera Link serial port names; true when at least one was added.
    bool enumerateCameraLinkPorts();

    // Rebuilds portEntries from scratch: the COM ports, then the virtual pairs merged in.
    void refreshPortList();
    int enumerateComPorts();
    void mergeVirtualPairs();

    // Display names "%d. %s_Port%d"; the name at position i carries the index i.
    const std::vector<std::string>& clPortNames() const { return clPortNames_; }
    const std::vector<VirtualPair>& portEntries() const { return portEntries_; }

private:
    PairLibrary& pairLibrary_;
    DiscoveryUi& ui_;
    std::vector<std::string> clPortNames_;
    std::vector<VirtualPair> portEntries_;
};

} // namespace clser::discovery
