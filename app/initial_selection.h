// The main dialog's choice of port at start-up, and the check that keeps the chosen
// port only while it is listed.
#pragma once

#include "camera_link_port_names.h"
#include "connection_settings.h"
#include "virtual_pair.h"

#include <string>
#include <vector>

namespace clser::app {

enum class StartChoice {
    NoStartPort,     // nothing given: the first pair and the first Camera Link port were taken
    Connect,         // the start port is a listed pair and the library and index name a listed port
    StartPortUnusable // both names cleared and the index set to -1
};

// Applies the initial selection to settings and says what the dialog does next.
StartChoice chooseInitialSelection(const std::string& startPortName, ConnectionSettings& settings,
                                   const std::vector<VirtualPair>& portEntries,
                                   const std::vector<discovery::CameraLinkPort>& clPorts);

// Clears both port names when userPortName is no port of the list.
void dropUnlistedPort(ConnectionSettings& settings, const std::vector<VirtualPair>& portEntries);

} // namespace clser::app
