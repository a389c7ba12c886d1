#include "status_texts.h"

#include <cstdio>

namespace clser::app {

std::string networkPortText(const network::NetworkSettings& settings, std::string_view client)
{
    std::string text = settings.protocol == network::NetProtocol::Raw ? "raw TCP " : "RFC 2217 ";
    text += network::ipv4AddressText(settings.listenAddress) + ":" + std::to_string(settings.port);
    if (client.empty())
        return text + ", no client";
    text += ", client ";
    if (client.size() <= kMaxClientTextLength)
        return text.append(client);
    return text.append(client.substr(0, kMaxClientTextLength - 3)) + "...";
}

StatusTexts statusTexts(bool connected, const ConnectionSettings& s,
                        const std::vector<discovery::CameraLinkPort>& clPorts, std::string_view networkClient)
{
    StatusTexts t;
    t.panes[0] = connected ? "Connected" : "Not connected";
    if (s.network) {
        t.panes[1] = networkPortText(*s.network, networkClient);
    } else if (s.clPortIndex < 0) {
        t.panes[1] = "<->";
    } else {
        const int port = discovery::cameraLinkPortPosition(clPorts, s.clLibrary, s.clPortIndex);
        t.panes[1] = s.userPortName + "<->" + (port >= 0 ? clPorts[static_cast<size_t>(port)].name : std::string());
    }
    t.panes[2] = std::to_string(s.line.baudRate) + " " + parityLetter(s.line.parity) + " " +
                 std::to_string(s.line.dataBits) + " " + stopBitsLabel(s.line.stopBits);
    t.panes[3] = s.echo ? "Echo on" : "Echo off";
    t.tooltip = std::string(connected ? "Connected" : "Not connected") + "\n" + t.panes[1] + "\n" + t.panes[2] + "\\" +
                std::to_string(baudRateForClBaudCode(s.clBaudCode));
    return t;
}

std::string trayTooltip(std::string_view text) { return std::string(text.substr(0, kMaxTooltipLength)); }

} // namespace clser::app
