// What the main dialog's status bar and the tray tooltip say about the connection.
#pragma once

#include "connection_settings.h"

#include <array>
#include <string>
#include <vector>

namespace clser::app {

struct StatusTexts {
    std::array<std::string, 4> panes; // state, ports, line settings, echo
    std::string tooltip;
};

// Pane 1 names the Camera Link port by its entry in clPortNames; an index that is no
// position of that list (no port was found) shows the user port and "<->" alone.
StatusTexts statusTexts(bool connected, const ConnectionSettings& settings,
                        const std::vector<std::string>& clPortNames);

} // namespace clser::app
