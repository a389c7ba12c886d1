// What the main dialog's status bar and the tray tooltip say about the connection.
#pragma once

#include "camera_link_port_names.h"
#include "connection_settings.h"
#include "network_settings.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace clser::app {

// The shell keeps at most this many characters of a tooltip.
constexpr size_t kMaxTooltipLength = 127;

// The text as the tray shows it: at most 127 characters.
std::string trayTooltip(std::string_view text);

struct StatusTexts {
    std::array<std::string, 4> panes; // state, ports, line settings, echo
    std::string tooltip;
};

// The longest client text a network pane shows whole: "255.255.255.255:65535".
inline constexpr std::size_t kMaxClientTextLength = 21;

// The port pane of a network connection: protocol, the endpoint listened on and the client
// served, e.g. "RFC 2217 127.0.0.1:4001, client 127.0.0.1:50312" or
// "raw TCP 0.0.0.0:4001, no client". A client text longer than kMaxClientTextLength is cut
// to that length, its end shown as "...", so the pane and the tooltip stay within their
// bounds.
std::string networkPortText(const network::NetworkSettings& settings, std::string_view client);

// Pane 1 names the Camera Link port by its entry in clPorts, found by the connection's
// library and index; a port that is not listed shows the user port and "<->" alone. A
// network connection (settings.network) shows networkPortText(..., networkClient) there
// instead, in the pane and in the tooltip alike.
StatusTexts statusTexts(bool connected, const ConnectionSettings& settings,
                        const std::vector<discovery::CameraLinkPort>& clPorts, std::string_view networkClient = {});

} // namespace clser::app
