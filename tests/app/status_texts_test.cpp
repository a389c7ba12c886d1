#include "status_texts.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

using clser::ConnectionSettings;
using clser::app::statusTexts;
using clser::app::StatusTexts;

namespace {

const std::vector<clser::discovery::CameraLinkPort> kBoard = {
    {"0. boardname_Port0", "", 0}, {"1. boardname_Port1", "", 1}, {"Larkspur Imaging port 1", "clserlrk.dll", 1}};

ConnectionSettings com5OnPort(int index, const char* library = "")
{
    ConnectionSettings s;
    s.clLibrary = library;
    s.userPortName = "COM5";
    s.bridgePortName = "TARVCOM5";
    s.clPortIndex = index;
    return s;
}

TEST(StatusTexts, ConnectedExampleGivesFourPanesAndThreeLineTooltip)
{
    const auto t = statusTexts(true, com5OnPort(0), kBoard);
    EXPECT_EQ(t.panes[0], "Connected");
    EXPECT_EQ(t.panes[1], "COM5<->0. boardname_Port0");
    EXPECT_EQ(t.panes[2], "9600 n 8 1");
    EXPECT_EQ(t.panes[3], "Echo off");
    EXPECT_EQ(t.tooltip, "Connected\nCOM5<->0. boardname_Port0\n9600 n 8 1\\9600");
}

struct PaneCase {
    const char* name;
    bool connected;
    ConnectionSettings settings;
    std::string pane1;
    std::string pane2;
    std::string pane3;
    std::string tooltip;
};

ConnectionSettings with(ConnectionSettings s, uint32_t baud, int32_t clCode, int32_t parity, uint32_t data,
                        int32_t stop, bool echo)
{
    s.line.baudRate = baud;
    s.clBaudCode = clCode;
    s.line.parity = static_cast<clser::Parity>(parity);
    s.line.dataBits = data;
    s.line.stopBits = static_cast<clser::StopBits>(stop);
    s.echo = echo;
    return s;
}

const PaneCase kPanes[] = {
    {"no Camera Link port", false, com5OnPort(-1), "<->", "9600 n 8 1", "Echo off",
     "Not connected\n<->\n9600 n 8 1\\9600"},
    {"index past the list names no port", false, com5OnPort(2), "COM5<->", "9600 n 8 1", "Echo off",
     "Not connected\nCOM5<->\n9600 n 8 1\\9600"},
    {"another maker's port by library and index", false, com5OnPort(1, "CLSERLRK.DLL"),
     "COM5<->Larkspur Imaging port 1", "9600 n 8 1", "Echo off",
     "Not connected\nCOM5<->Larkspur Imaging port 1\n9600 n 8 1\\9600"},
    {"index of a library that is not listed", false, com5OnPort(0, "clserlrk.dll"), "COM5<->", "9600 n 8 1",
     "Echo off", "Not connected\nCOM5<->\n9600 n 8 1\\9600"},
    {"second port, odd, seven bits, 1.5 stop, echo", true, with(com5OnPort(1), 19200, 2, 1, 7, 1, true),
     "COM5<->1. boardname_Port1", "19200 o 7 1.5", "Echo on", "Connected\nCOM5<->1. boardname_Port1\n19200 o 7 1.5\\19200"},
    {"COM rate and Camera Link rate differ", false, with(com5OnPort(0), 115200, 128, 2, 8, 2, false),
     "COM5<->0. boardname_Port0", "115200 e 8 2", "Echo off",
     "Not connected\nCOM5<->0. boardname_Port0\n115200 e 8 2\\921600"},
    {"unknown Camera Link code stands for 9600", false, with(com5OnPort(0), 9600, 3, 0, 8, 0, false),
     "COM5<->0. boardname_Port0", "9600 n 8 1", "Echo off", "Not connected\nCOM5<->0. boardname_Port0\n9600 n 8 1\\9600"},
};

TEST(StatusTexts, PanesAndTooltipFollowTheSettings)
{
    for (const auto& c : kPanes) {
        const auto t = statusTexts(c.connected, c.settings, kBoard);
        EXPECT_EQ(t.panes[0], c.connected ? "Connected" : "Not connected") << c.name;
        EXPECT_EQ(t.panes[1], c.pane1) << c.name;
        EXPECT_EQ(t.panes[2], c.pane2) << c.name;
        EXPECT_EQ(t.panes[3], c.pane3) << c.name;
        EXPECT_EQ(t.tooltip, c.tooltip) << c.name;
    }
}

ConnectionSettings served(ConnectionSettings s, clser::network::NetProtocol protocol, uint32_t address, uint16_t port)
{
    s.network = clser::network::NetworkSettings{port, address, protocol, {}};
    return s;
}

struct NetworkPaneCase {
    const char* name;
    bool connected;
    ConnectionSettings settings;
    std::string client;
    std::string pane1;
    std::string tooltip;
};

using clser::network::NetProtocol;
const std::string kLongestClient = "255.255.255.255:65535";

const NetworkPaneCase kNetworkPanes[] = {
    {"RFC 2217 with a client", true, served(com5OnPort(0), NetProtocol::Rfc2217, 0x7F000001, 4001),
     "127.0.0.1:50312", "RFC 2217 127.0.0.1:4001, client 127.0.0.1:50312",
     "Connected\nRFC 2217 127.0.0.1:4001, client 127.0.0.1:50312\n9600 n 8 1\\9600"},
    {"raw on every interface, no client", true, served(com5OnPort(1), NetProtocol::Raw, 0, 4001), "",
     "raw TCP 0.0.0.0:4001, no client", "Connected\nraw TCP 0.0.0.0:4001, no client\n9600 n 8 1\\9600"},
    {"not connected, no Camera Link port", false, served(com5OnPort(-1), NetProtocol::Rfc2217, 0x0A000001, 1), "",
     "RFC 2217 10.0.0.1:1, no client", "Not connected\nRFC 2217 10.0.0.1:1, no client\n9600 n 8 1\\9600"},
    {"longest client is shown whole", true,
     served(with(com5OnPort(0), 115200, 128, 2, 7, 1, true), NetProtocol::Rfc2217, 0xFFFFFFFF, 65535), kLongestClient,
     "RFC 2217 255.255.255.255:65535, client 255.255.255.255:65535",
     "Connected\nRFC 2217 255.255.255.255:65535, client 255.255.255.255:65535\n115200 e 7 1.5\\921600"},
    {"longer client is cut", false, served(com5OnPort(0), NetProtocol::Raw, 0x7F000001, 4001),
     kLongestClient + std::string(300, '9'), "raw TCP 127.0.0.1:4001, client 255.255.255.255:65...",
     "Not connected\nraw TCP 127.0.0.1:4001, client 255.255.255.255:65...\n9600 n 8 1\\9600"},
};

TEST(StatusTexts, NetworkConnectionShowsEndpointAndClientInsteadOfThePair)
{
    for (const auto& c : kNetworkPanes) {
        const auto t = statusTexts(c.connected, c.settings, kBoard, c.client);
        EXPECT_EQ(t.panes[1], c.pane1) << c.name;
        EXPECT_EQ(t.tooltip, c.tooltip) << c.name;
        EXPECT_EQ(clser::app::trayTooltip(t.tooltip), t.tooltip) << c.name << ": the tray keeps it whole";
    }
}

// The widest values every field can take still leave the tray's tooltip whole, so the
// line settings after the endpoint are never lost.
TEST(StatusTexts, NetworkTooltipOfTheWidestValuesFitsTheTray)
{
    ConnectionSettings s =
        served(with(com5OnPort(0), UINT32_MAX, INT32_MIN, INT32_MIN, UINT32_MAX, 1, true), NetProtocol::Rfc2217,
               0xFFFFFFFF, 65535);
    const auto t = statusTexts(false, s, kBoard, std::string(4096, '8'));
    EXPECT_LE(t.tooltip.size(), clser::app::kMaxTooltipLength);
    EXPECT_EQ(t.tooltip.substr(t.tooltip.size() - 33), "\n4294967295 n 4294967295 1.5\\9600");
}

// A client the controller reports changes nothing for a connection through the pair.
TEST(StatusTexts, PairConnectionIgnoresANetworkClient)
{
    for (const auto& c : kPanes) {
        const auto t = statusTexts(c.connected, c.settings, kBoard, "127.0.0.1:50312");
        EXPECT_EQ(t.panes[1], c.pane1) << c.name;
        EXPECT_EQ(t.tooltip, c.tooltip) << c.name;
    }
}

TEST(TrayTooltip, KeepsAtMost127Characters)
{
    EXPECT_EQ(clser::app::trayTooltip(std::string(200, 'x')), std::string(127, 'x'));
    EXPECT_EQ(clser::app::trayTooltip(std::string(127, 'y')), std::string(127, 'y'));
    EXPECT_EQ(clser::app::trayTooltip("Connected\nCOM5"), "Connected\nCOM5");
}

TEST(StatusTexts, IndicesOutsideTheList)
{
    ConnectionSettings s;
    s.userPortName = "COM5";
    const std::vector<clser::discovery::CameraLinkPort> names{{"0. A_Port0", "", 0}};
    for (int32_t index : {INT_MIN, -1, 0, 1, INT_MAX}) {
        SCOPED_TRACE(index);
        s.clPortIndex = index;
        const StatusTexts t = statusTexts(true, s, names);
        EXPECT_EQ(t.panes[1], index < 0 ? "<->" : index == 0 ? "COM5<->0. A_Port0" : "COM5<->");
    }
    s.line.baudRate = UINT32_MAX;
    s.line.dataBits = UINT32_MAX;
    s.line.parity = static_cast<clser::Parity>(INT_MIN);
    s.line.stopBits = static_cast<clser::StopBits>(INT_MIN);
    s.clBaudCode = INT_MIN;
    EXPECT_EQ(statusTexts(false, s, {}).panes[2], "4294967295 n 4294967295 1");
}

} // namespace
