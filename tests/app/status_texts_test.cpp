#include "status_texts.h"
#include "system_tray.h"

#include <gtest/gtest.h>

using clser::ConnectionSettings;
using clser::app::statusTexts;

namespace {

const std::vector<std::string> kBoard = {"0. boardname_Port0", "1. boardname_Port1"};

ConnectionSettings com5OnPort(int index)
{
    ConnectionSettings s;
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
    s.baudRate = baud;
    s.clBaudCode = clCode;
    s.parity = parity;
    s.dataBits = data;
    s.stopBits = stop;
    s.echo = echo;
    return s;
}

const PaneCase kPanes[] = {
    {"no Camera Link port", false, com5OnPort(-1), "<->", "9600 n 8 1", "Echo off",
     "Not connected\n<->\n9600 n 8 1\\9600"},
    {"index past the list names no port", false, com5OnPort(2), "COM5<->", "9600 n 8 1", "Echo off",
     "Not connected\nCOM5<->\n9600 n 8 1\\9600"},
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

TEST(TrayTooltip, KeepsAtMost127Characters)
{
    EXPECT_EQ(clser::app::trayTooltip(std::string(200, 'x')), std::string(127, 'x'));
    EXPECT_EQ(clser::app::trayTooltip(std::string(127, 'y')), std::string(127, 'y'));
    EXPECT_EQ(clser::app::trayTooltip("Connected\nCOM5"), "Connected\nCOM5");
}

} // namespace
