#include "initial_selection.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using clser::ConnectionSettings;
using clser::app::chooseInitialSelection;
using clser::app::dropUnlistedPort;
using clser::app::StartChoice;
using clser::VirtualPair;

namespace {

const std::vector<VirtualPair> kPorts = {
    {"", "COM1", ""}, {"CNC0", "COM5", "TARVCOM5"}, {"CNC1", "COM6", "TARVCOM6"}, {"", "COM9", ""}};
const std::vector<clser::discovery::CameraLinkPort> kClNames = {
    {"0. SimBoard_Port0", "", 0}, {"1. SimBoard_Port1", "", 1}, {"Larkspur Imaging port 0", "clserlrk.dll", 0}};
const std::vector<clser::discovery::CameraLinkPort> kOtherMakerOnly = {{"x port 4", "clserlrk.dll", 4}};

ConnectionSettings started(const std::string& port, int index)
{
    ConnectionSettings s;
    s.userPortName = port;
    s.bridgePortName = "TARV" + port;
    s.clPortIndex = index;
    return s;
}

struct SelectionCase {
    const char* name;
    std::string startPort;
    int index;
    std::vector<VirtualPair> ports;
    std::vector<clser::discovery::CameraLinkPort> clNames;
    StartChoice choice;
    std::string userPort;
    std::string bridgePort;
    int clPortIndex;
    std::string startLibrary = {};
    std::string clLibrary = {}; // the library after the choice
};

const SelectionCase kCases[] = {
    {"no start port takes the first pair and the first Camera Link port", "", -1, kPorts, kClNames,
     StartChoice::NoStartPort, "COM5", "TARVCOM5", 0},
    {"no start port and no pair keeps the names", "", -1, {{"", "COM1", ""}}, kClNames, StartChoice::NoStartPort, "",
     "TARV", 0},
    {"no start port and no Camera Link port keeps the index", "", -1, kPorts, {}, StartChoice::NoStartPort, "COM5",
     "TARVCOM5", -1},
    {"listed pair and valid index connect", "COM6", 1, kPorts, kClNames, StartChoice::Connect, "COM6", "TARVCOM6", 1},
    {"a physical port is not a pair", "COM9", 0, kPorts, kClNames, StartChoice::StartPortUnusable, "", "", -1},
    {"a port that is not listed", "COM7", 0, kPorts, kClNames, StartChoice::StartPortUnusable, "", "", -1},
    {"index equal to the number of ports", "COM5", 2, kPorts, kClNames, StartChoice::StartPortUnusable, "", "", -1},
    {"no Camera Link port at all", "COM5", 0, kPorts, {}, StartChoice::StartPortUnusable, "", "", -1},
    {"another maker's listed port connects", "COM6", 0, kPorts, kClNames, StartChoice::Connect, "COM6", "TARVCOM6", 0,
     "CLSERLRK.DLL", "CLSERLRK.DLL"},
    {"index of an unlisted library", "COM6", 1, kPorts, kClNames, StartChoice::StartPortUnusable, "", "", -1,
     "clserlrk.dll", "clserlrk.dll"},
    {"no start port takes another maker's only port with its library", "", -1, kPorts, kOtherMakerOnly,
     StartChoice::NoStartPort, "COM5", "TARVCOM5", 4, "", "clserlrk.dll"},
    {"port names compare exactly", "com5", 0, kPorts, kClNames, StartChoice::StartPortUnusable, "", "", -1},
    {"largest index", "COM5", INT_MAX, kPorts, kClNames, StartChoice::StartPortUnusable, "", "", -1},
    {"port of 300 digits", "COM" + std::string(300, '5'), 0, kPorts, kClNames, StartChoice::StartPortUnusable, "",
     "", -1},
};

TEST(InitialSelection, ChoosesPortsAndWhetherToConnect)
{
    for (const auto& c : kCases) {
        ConnectionSettings s = started(c.startPort, c.index);
        s.clLibrary = c.startLibrary;
        EXPECT_EQ(chooseInitialSelection(c.startPort, s, c.ports, c.clNames), c.choice) << c.name;
        EXPECT_EQ(s.userPortName, c.userPort) << c.name;
        EXPECT_EQ(s.bridgePortName, c.bridgePort) << c.name;
        EXPECT_EQ(s.clPortIndex, c.clPortIndex) << c.name;
        EXPECT_EQ(s.clLibrary, c.clLibrary) << c.name;
    }
}

TEST(DropUnlistedPort, ClearsBothNamesOnlyWhenThePortIsGone)
{
    ConnectionSettings listed = started("COM5", 0);
    dropUnlistedPort(listed, kPorts);
    EXPECT_EQ(listed.userPortName, "COM5");
    EXPECT_EQ(listed.bridgePortName, "TARVCOM5");

    ConnectionSettings removed = started("COM7", 0);
    dropUnlistedPort(removed, kPorts);
    EXPECT_EQ(removed.userPortName, "");
    EXPECT_EQ(removed.bridgePortName, "");
    EXPECT_EQ(removed.clPortIndex, 0);

    ConnectionSettings emptyList = started("COM5", 0);
    dropUnlistedPort(emptyList, {});
    EXPECT_EQ(emptyList.userPortName, "");
}

} // namespace
