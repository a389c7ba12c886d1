#include "camera_link_port_names.h"

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

// The order a sorted box shows twelve ports in: 10 and 11 come before 2.
const std::vector<std::string> kSortedTwelve = {
    "0. A_Port0", "1. A_Port1", "10. B_Port2", "11. B_Port3", "2. A_Port2", "3. A_Port3",
    "4. A_Port4", "5. A_Port5", "6. A_Port6", "7. A_Port7", "8. B_Port0", "9. B_Port1",
};

TEST(CameraLinkPortBox, PositionAndIndexStayTogetherBeyondTenPorts)
{
    const struct {
        const char* name;
        int clPortIndex;
        int position;
    } cases[] = {
        {"index 0 is the first item", 0, 0},
        {"index 2 sits behind 10 and 11", 2, 4},
        {"index 10 sits at position 2", 10, 2},
        {"index 11 sits at position 3", 11, 3},
        {"last index", 9, 11},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cameraLinkPortBoxPosition(kSortedTwelve, c.clPortIndex), c.position) << c.name;
        EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(kSortedTwelve, c.position), c.clPortIndex) << c.name;
    }
}

TEST(CameraLinkPortBox, SelectionsOutsideTheBox)
{
    EXPECT_EQ(cameraLinkPortBoxPosition(kSortedTwelve, -1), 0) << "negative index selects the first item";
    EXPECT_EQ(cameraLinkPortBoxPosition(kSortedTwelve, 12), -1) << "index without a port selects nothing";
    EXPECT_EQ(cameraLinkPortBoxPosition({}, 0), -1) << "empty box selects nothing";
    EXPECT_EQ(cameraLinkPortBoxPosition({}, -1), -1) << "empty box selects nothing";
    EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(kSortedTwelve, -1), -1) << "no selection gives no index";
    EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(kSortedTwelve, 12), -1) << "position past the end";
    EXPECT_EQ(cameraLinkPortBoxPosition(kSortedTwelve, INT_MIN), 0);
    EXPECT_EQ(cameraLinkPortBoxPosition(kSortedTwelve, INT_MAX), -1);
    EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(kSortedTwelve, INT_MIN), -1);
    EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(kSortedTwelve, INT_MAX), -1);
    EXPECT_EQ(cameraLinkPortIndexAtBoxPosition({"0. A_Port0", "junk"}, 1), -1) << "item without an index";
}

} // namespace
