#include "port_setting_choices.h"

#include <gtest/gtest.h>

using namespace clser::app;
using clser::ConnectionSettings;
using clser::Parity;
using clser::StopBits;
using clser::VirtualPair;

namespace {

TEST(ParityBox, ItemsAndPositionsRoundTripEveryParity)
{
    const auto& items = parityItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "n");
    EXPECT_EQ(items[1].text, "e");
    EXPECT_EQ(items[2].text, "o");
    const struct {
        const char* name;
        Parity parity;
        int position;
    } rows[] = {{"none first", Parity::none, 0}, {"odd last", Parity::odd, 2}, {"even in the middle", Parity::even, 1}};
    for (const auto& r : rows) {
        EXPECT_EQ(parityBoxPosition(r.parity), r.position) << r.name;
        EXPECT_EQ(items[static_cast<size_t>(r.position)].data, static_cast<intptr_t>(r.parity)) << r.name;
    }
    EXPECT_EQ(parityBoxPosition(static_cast<Parity>(7)), 0) << "an unknown code shows none";
}

TEST(BaudBoxes, EightRatesWithTheirCameraLinkCodes)
{
    const auto& items = baudRateItems();
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items.front().text, "9600");
    EXPECT_EQ(items.back().text, "921600");
    EXPECT_EQ(clBaudBoxPosition(1), 0);
    EXPECT_EQ(clBaudBoxPosition(16), 4);
    EXPECT_EQ(clBaudBoxPosition(128), 7);
    EXPECT_EQ(clBaudBoxPosition(3), -1) << "another code leaves the selection alone";
    const auto& stop = stopBitsItems();
    ASSERT_EQ(stop.size(), 3u);
    EXPECT_EQ(stop[1].text, "1.5");
    EXPECT_EQ(stop[1].data, 1);
    EXPECT_EQ(dataBitsItems().front().text, "5");
    EXPECT_EQ(dataBitsItems().back().text, "9");
}

TEST(ComPortBox, PairsAlwaysAndPhysicalPortsOnRequest)
{
    const std::vector<VirtualPair> ports = {{"", "COM1", ""}, {"CNC0", "COM5", "TARVCOM5"}, {"CNC1", "COM6", "TARVCOM6"}};
    EXPECT_EQ(comPortBoxItems(ports, false), (std::vector<std::string>{"COM5-TARVCOM5", "COM6-TARVCOM6"}));
    EXPECT_EQ(comPortBoxItems(ports, true), (std::vector<std::string>{"COM1", "COM5-TARVCOM5", "COM6-TARVCOM6"}));
    EXPECT_TRUE(comPortBoxItems({}, true).empty());

    ConnectionSettings s;
    EXPECT_EQ(comPortSelectionPrefix(s), "") << "no port: the first item";
    s.userPortName = "COM6";
    s.bridgePortName = "TARVCOM6";
    EXPECT_EQ(comPortSelectionPrefix(s), "COM6-TARVCOM6");
}

PortSettingSelection selection(const std::string& comPort, const std::string& comBaud, const std::string& clBaud)
{
    PortSettingSelection s;
    s.comPortText = comPort;
    s.clPortIndex = 1;
    s.dataBitsText = "7";
    s.stopBitsData = 2;
    s.clBaudData = 1;
    s.comBaudText = comBaud;
    s.clBaudText = clBaud;
    s.parityData = 2;
    return s;
}

TEST(Confirm, RefusalsAreDecidedOnTheBoxTexts)
{
    EXPECT_FALSE(baudRatesDiffer(selection("COM5-TARVCOM5", "9600", "9600")));
    EXPECT_TRUE(baudRatesDiffer(selection("COM5-TARVCOM5", "115200", "9600")));
    EXPECT_TRUE(isPhysicalPortItem("COM1"));
    EXPECT_TRUE(isPhysicalPortItem(""));
    EXPECT_FALSE(isPhysicalPortItem("COM5-TARVCOM5"));
}

TEST(Confirm, TakesEveryFieldFromTheBoxesAndKeepsEcho)
{
    ConnectionSettings before;
    before.userPortName = "COM5";
    before.bridgePortName = "TARVCOM5";
    before.clPortIndex = 0;
    before.echo = true;
    const ConnectionSettings after = confirmedSettings(selection("COM6-TARVCOM6", "115200", "9600"), before);
    EXPECT_EQ(after.userPortName, "COM6");
    EXPECT_EQ(after.bridgePortName, "TARVCOM6");
    EXPECT_EQ(after.clPortIndex, 1);
    EXPECT_EQ(after.line.dataBits, 7u);
    EXPECT_EQ(after.line.stopBits, StopBits::two);
    EXPECT_EQ(after.clBaudCode, 1);
    EXPECT_EQ(after.line.baudRate, 115200u);
    EXPECT_EQ(after.line.parity, Parity::even);
    EXPECT_TRUE(after.echo);
    EXPECT_TRUE(portsChanged(before, after));

    PortSettingSelection empty = selection("TARVCOM5", "", "");
    empty.dataBitsText = "";
    const ConnectionSettings blank = confirmedSettings(empty, before);
    EXPECT_EQ(blank.userPortName, "TARVCOM5") << "no dash: everything is the user port";
    EXPECT_EQ(blank.bridgePortName, "");
    EXPECT_EQ(blank.line.dataBits, 0u) << "an empty text gives 0";
    EXPECT_EQ(blank.line.baudRate, 0u);
}

TEST(Confirm, TransferModeFollowsTheCheckboxBothWays)
{
    ConnectionSettings before;
    before.userPortName = "COM5";
    before.bridgePortName = "TARVCOM5";
    before.clPortIndex = 1;
    for (const bool wasLow : {false, true})
        for (const bool ticked : {false, true}) {
            SCOPED_TRACE(std::string(wasLow ? "was low latency" : "was default") + (ticked ? ", ticked" : ", cleared"));
            before.lowLatency = wasLow;
            PortSettingSelection chosen = selection("COM5-TARVCOM5", "9600", "9600");
            chosen.lowLatency = ticked;
            const ConnectionSettings after = confirmedSettings(chosen, before);
            EXPECT_EQ(after.lowLatency, ticked);
            EXPECT_FALSE(portsChanged(before, after)) << "the mode is no port change";
        }
}

TEST(Confirm, OnlyPortOrCameraLinkPortCountAsPortChanges)
{
    ConnectionSettings a;
    a.userPortName = "COM5";
    a.clPortIndex = 0;
    ConnectionSettings b = a;
    b.line.baudRate = 115200;
    b.bridgePortName = "TARVCOM5";
    EXPECT_FALSE(portsChanged(a, b));
    b.clLibrary = "CLSERBVK.DLL";
    EXPECT_FALSE(portsChanged(a, b)) << "this system's own library by its name";
    b.clLibrary = "clserlrk.dll";
    EXPECT_TRUE(portsChanged(a, b)) << "the same index in another library";
    PortSettingSelection other;
    other.comPortText = "COM5-TARVCOM5";
    other.clPortIndex = 0;
    other.clLibrary = "clserlrk.dll";
    EXPECT_EQ(confirmedSettings(other, a).clLibrary, "clserlrk.dll");
    b.clLibrary.clear();
    b.clPortIndex = 1;
    EXPECT_TRUE(portsChanged(a, b));
}

} // namespace
