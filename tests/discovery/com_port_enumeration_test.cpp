// COM ports from the device names of the Wine prefix, and the port list that merges
// the virtual pairs into them. The names are registered in the object namespace for
// the test and removed after it.
#include "com_port_enumeration.h"
#include "device_names.h"
#include "fake_pair_library.h"
#include "port_discovery.h"
#include "pty_rig.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace clser::discovery;
using clser::VirtualPair;
using clser::test::FakePairLibrary;
using clser::test::RecordingUi;
using clser::test::deviceListed;
using clser::test::dosDeviceNames;

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::vector<std::string> portNames(const std::vector<VirtualPair>& entries)
{
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.portName);
    return names;
}

// Registers device names for one test and removes the ones it added.
class DeviceNames : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const auto& name : added_)
            clser::testbed::unregisterDosDeviceName(name);
    }

    void add(const std::string& name)
    {
        const bool existed = deviceListed(name);
        ASSERT_TRUE(clser::testbed::registerDosDeviceName(name)) << name;
        if (!existed)
            added_.push_back(name);
    }

    std::vector<std::string> added_;
};

TEST_F(DeviceNames, ComPortsAreTakenFromTheDeviceList)
{
    for (const char* name : {"COM3", "COM12", "COM10000", "COMX", "com47"})
        add(name);
    std::vector<VirtualPair> entries;
    ASSERT_EQ(enumerateComPorts(entries), 1);
    const std::vector<std::string> names = portNames(entries);
    EXPECT_TRUE(contains(names, "COM3"));
    EXPECT_TRUE(contains(names, "COM12"));
    EXPECT_FALSE(contains(names, "COM10000")) << "eight characters";
    EXPECT_FALSE(contains(names, "COMX")) << "no digits";
    EXPECT_TRUE(contains(names, "com47")) << "lower case taken, with its case";
    for (const auto& e : entries) {
        EXPECT_TRUE(e.pairId.empty()) << e.portName;
        EXPECT_TRUE(e.partnerName.empty()) << e.portName;
    }

    std::vector<std::string> listedComPorts;
    for (const auto& n : dosDeviceNames())
        if (n.size() >= 4 && n.size() <= 7 && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, n.c_str(), 3, "COM", 3) ==
                                                  CSTR_EQUAL && n.find_first_not_of("0123456789", 3) == std::string::npos)
            listedComPorts.push_back(n);
    EXPECT_EQ(names, listedComPorts) << "in the order the system lists them";
}

TEST_F(DeviceNames, DeviceListLongerThanTheFirstBufferIsReadWhole)
{
    for (int i = 0; i < 400; ++i)
        add("DISCFILLER" + std::to_string(1000 + i));
    add("COM3");
    std::size_t bytes = 0;
    for (const auto& n : dosDeviceNames())
        bytes += n.size() + 1;
    ASSERT_GT(bytes, 4096u) << "the list must need a larger buffer than the first one";
    std::vector<VirtualPair> entries;
    ASSERT_EQ(enumerateComPorts(entries), 1);
    EXPECT_TRUE(contains(portNames(entries), "COM3"));
}

TEST_F(DeviceNames, PairReplacesThePlainPortAndMovesToTheEnd)
{
    add("COM3");
    add("COM12");
    FakePairLibrary library;
    library.pairs = {{"CNC0", "COM3", "TARVCOM3"}, {"CNC1", "COM77", "TARVCOM77"}};
    RecordingUi ui;
    PortDiscovery discovery(library, ui);
    for (int rebuild = 0; rebuild < 2; ++rebuild) {
        discovery.refreshPortList();
        const auto& entries = discovery.portEntries();
        ASSERT_GE(entries.size(), 3u);
        EXPECT_EQ(entries[entries.size() - 2], (VirtualPair{"CNC0", "COM3", "TARVCOM3"})) << rebuild;
        EXPECT_EQ(entries.back(), (VirtualPair{"CNC1", "COM77", "TARVCOM77"})) << rebuild;
        const std::vector<std::string> names = portNames(entries);
        EXPECT_EQ(std::count(names.begin(), names.end(), "COM3"), 1) << "the plain COM3 went, rebuild " << rebuild;
        EXPECT_TRUE(contains(names, "COM12"));
    }
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DeviceNames, FailingPairLibraryIsReportedOncePerRebuildAndPlainPortsStay)
{
    add("COM3");
    FakePairLibrary library;
    library.initResult = 0;
    library.errorText = "Not found com0com\n";
    RecordingUi ui;
    PortDiscovery discovery(library, ui);
    discovery.refreshPortList();
    EXPECT_EQ(ui.shown, std::vector<std::string>{"Not found com0com\n"});
    EXPECT_TRUE(contains(portNames(discovery.portEntries()), "COM3"));
    discovery.refreshPortList();
    EXPECT_EQ(ui.shown.size(), 2u) << "once per rebuild";
    EXPECT_TRUE(contains(portNames(discovery.portEntries()), "COM3"));
}

} // namespace
