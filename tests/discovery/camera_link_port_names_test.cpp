#include "camera_link_port_names.h"
#include "cl_serial_library_names.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace clser::discovery;

namespace {

struct FormatCase {
    const char* name;
    int globalIndex;
    std::string board;
    int port;
    std::string expected;
};

TEST(CameraLinkPortName, FormatsIndexBoardAndPort)
{
    const FormatCase cases[] = {
        {"first port of the first board", 0, "A", 0, "0. A_Port0"},
        {"two-digit index", 12, "X", 3, "12. X_Port3"},
        {"board name with spaces", 4, "Board B", 1, "4. Board B_Port1"},
        {"empty board name", 0, "", 1, "0. _Port1"},
        {"name that just fits 255 characters", 7, std::string(246, 'N'), 0,
         "7. " + std::string(246, 'N') + "_Port0"},
        {"name one character too long is cut", 7, std::string(247, 'N'), 0,
         "7. " + std::string(247, 'N') + "_Port"},
        {"very long name keeps its index in front", 3, std::string(5000, 'N'), 1,
         "3. " + std::string(252, 'N')},
        {"NUL and high byte in the board name", 1, std::string("\0\xff", 2), 0, std::string("1. \0\xff_Port0", 11)},
    };
    for (const auto& c : cases) {
        const std::string name = formatCameraLinkPortName(c.globalIndex, c.board, c.port);
        EXPECT_EQ(name, c.expected) << c.name;
        EXPECT_LE(name.size(), kMaxCameraLinkPortNameLength) << c.name;
        EXPECT_EQ(cameraLinkPortIndexOfName(name), c.globalIndex) << c.name;
    }
    EXPECT_EQ(formatCameraLinkPortName(INT_MIN, "B", INT_MIN), "-2147483648. B_Port-2147483648");
}

TEST(CameraLinkPortName, IndexIsTheLeadingNumber)
{
    const struct {
        const char* name;
        std::string text;
        int index;
    } cases[] = {
        {"two-digit index", "12. X_Port3", 12},
        {"index 0", "0. A_Port0", 0},
        {"number alone", "3", 3},
        {"digits in the board name do not count", "5. 77_Port1", 5},
        {"no leading number", "X_Port3", -1},
        {"empty text", "", -1},
        {"leading space", " 4. X_Port0", -1},
        {"negative number", "-1. X_Port0", -1},
        {"number beyond int", "99999999999. X_Port0", -1},
        {"largest int", "2147483647. X", INT_MAX},
        {"one past the largest int", "2147483648. X", -1},
        {"leading zeros of any length", std::string(300, '0') + "7. X", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cameraLinkPortIndexOfName(c.text), c.index) << c.name;
}

// Twelve own ports and two of another maker with the same indices, and the data of the
// items in the order a sorted box shows them: 10 and 11 come before 2, the maker's last.
std::vector<CameraLinkPort> listedPorts()
{
    std::vector<CameraLinkPort> ports;
    for (int i = 0; i < 12; ++i)
        ports.push_back({formatCameraLinkPortName(i, i < 8 ? "A" : "B", i < 8 ? i : i - 8), "", i});
    ports.push_back({"Larkspur Imaging port 0", "clserlrk.dll", 0});
    ports.push_back({"Larkspur Imaging port 2", "clserlrk.dll", 2});
    return ports;
}
const std::vector<intptr_t> kSortedData = {0, 1, 10, 11, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13};

TEST(CameraLinkPortBox, PositionAndPortStayTogetherBeyondTenPortsAndAcrossLibraries)
{
    const struct {
        const char* name;
        const char* library;
        int clPortIndex;
        int position;
    } cases[] = {
        {"index 0 is the first item", "", 0, 0},
        {"index 2 sits behind 10 and 11", "", 2, 4},
        {"index 10 sits at position 2", "", 10, 2},
        {"index 11 sits at position 3", "", 11, 3},
        {"last own index", "", 9, 11},
        {"own library named by its file", "CLSERBVK.DLL", 2, 4},
        {"another maker's index 0 is not own index 0", "clserlrk.dll", 0, 12},
        {"another maker's index 2, letter case ignored", "ClSerLrk.dll", 2, 13},
    };
    const std::vector<CameraLinkPort> ports = listedPorts();
    for (const auto& c : cases) {
        EXPECT_EQ(cameraLinkPortBoxPosition(kSortedData, ports, c.library, c.clPortIndex), c.position) << c.name;
        const CameraLinkPort* port = cameraLinkPortAtBoxPosition(kSortedData, ports, c.position);
        ASSERT_NE(port, nullptr) << c.name;
        EXPECT_EQ(port->index, c.clPortIndex) << c.name;
        EXPECT_TRUE(clser::sameClSerialLibrary(port->library, c.library)) << c.name;
    }
}

TEST(CameraLinkPortBox, SelectionsOutsideTheBox)
{
    const std::vector<CameraLinkPort> ports = listedPorts();
    EXPECT_EQ(cameraLinkPortBoxPosition(kSortedData, ports, "", -1), 0) << "negative index selects the first item";
    EXPECT_EQ(cameraLinkPortBoxPosition(kSortedData, ports, "", 12), -1) << "index without a port selects nothing";
    EXPECT_EQ(cameraLinkPortBoxPosition(kSortedData, ports, "clserlrk.dll", 1), -1) << "index the library lacks";
    EXPECT_EQ(cameraLinkPortBoxPosition(kSortedData, ports, "clserprb.dll", 0), -1) << "library not listed";
    EXPECT_EQ(cameraLinkPortBoxPosition({}, ports, "", 0), -1) << "empty box selects nothing";
    EXPECT_EQ(cameraLinkPortBoxPosition({}, ports, "", -1), -1) << "empty box selects nothing";
    EXPECT_EQ(cameraLinkPortAtBoxPosition(kSortedData, ports, -1), nullptr) << "no selection gives no port";
    EXPECT_EQ(cameraLinkPortAtBoxPosition(kSortedData, ports, 14), nullptr) << "position past the end";
    EXPECT_EQ(cameraLinkPortBoxPosition(kSortedData, ports, "", INT_MIN), 0);
    EXPECT_EQ(cameraLinkPortBoxPosition(kSortedData, ports, "", INT_MAX), -1);
    EXPECT_EQ(cameraLinkPortAtBoxPosition(kSortedData, ports, INT_MIN), nullptr);
    EXPECT_EQ(cameraLinkPortAtBoxPosition(kSortedData, ports, INT_MAX), nullptr);
    EXPECT_EQ(cameraLinkPortAtBoxPosition({0, 14}, ports, 1), nullptr) << "item that is no port of the list";
}

} // namespace
