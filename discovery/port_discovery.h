// The bridge program's two port lists: the Camera Link serial ports and the COM ports
// with the installed virtual pairs. The main dialog owns one for its whole life.
#pragma once

#include "camera_link_port_names.h"
#include "discovery_ui.h"
#include "pair_library.h"
#include "virtual_pair.h"

#include <optional>
#include <string>
#include <vector>

namespace clser::discovery {

class PortDiscovery {
public:
    PortDiscovery(PairLibrary& pairLibrary, DiscoveryUi& ui) : pairLibrary_(pairLibrary), ui_(ui) {}

    // Appends the Camera Link serial ports: this system's own as the SDK reports its
    // boards, then those of every other maker's library in folder (the Camera Link
    // library folder; none: this system's alone). True when the list holds a port.
    bool enumerateCameraLinkPorts(const std::optional<std::string>& folder);

    // Rebuilds portEntries from scratch: the COM ports, then the virtual pairs merged in.
    void refreshPortList();
    int enumerateComPorts();
    void mergeVirtualPairs();

    // This system's own ports "%d. %s_Port%d", each with the index its name begins
    // with, then the other makers' "<maker> port <k>".
    const std::vector<CameraLinkPort>& clPorts() const { return clPorts_; }
    // One line per other maker's library left out, naming the file and why.
    const std::vector<std::string>& skippedLibraries() const { return skippedLibraries_; }
    const std::vector<VirtualPair>& portEntries() const { return portEntries_; }

private:
    PairLibrary& pairLibrary_;
    DiscoveryUi& ui_;
    std::vector<CameraLinkPort> clPorts_;
    std::vector<std::string> skippedLibraries_;
    std::vector<VirtualPair> portEntries_;
};

} // namespace clser::discovery
