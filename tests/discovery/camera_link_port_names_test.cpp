#include "camera_link_port_names.h"

#include <gtest/gtest.h>

#include <windows.h>

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
    };
    for (const auto& c : cases) {
        const std::string name = formatCameraLinkPortName(c.globalIndex, c.board, c.port);
        EXPECT_EQ(name, c.expected) << c.name;
        EXPECT_LE(name.size(), kMaxCameraLinkPortNameLength) << c.name;
        EXPECT_EQ(cameraLinkPortIndexOfName(name), c.globalIndex) << c.name;
    }
}

TEST(CameraLinkPortName, IndexIsTheLeadingNumber)
{
    const struct {
        const char* name;
        const char* text;
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
    };
    for (const auto& c : cases)
        EXPECT_EQ(cameraLinkPortIndexOfName(c.text), c.index) << c.name;
}

std::vector<std::string> twelvePortNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i)
        names.push_back(formatCameraLinkPortName(i, i < 8 ? "A" : "B", i < 8 ? i : i - 8));
    return names;
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
}

// A real sorted list, as the drop-down list of the port settings dialog's sorted box
// keeps its items (the same sorting; a message-only list box needs no display): whatever
// order it shows, every position maps back to the port whose name it shows.
TEST(CameraLinkPortBox, RealSortedListRoundTrips)
{
    HWND box = CreateWindowExA(0, "LISTBOX", "", LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 200, HWND_MESSAGE, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(box, nullptr);
    const std::vector<std::string> names = twelvePortNames();
    for (const auto& n : names)
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.c_str()));
    std::vector<std::string> shown;
    const int count = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        shown.push_back(text);
    }
    DestroyWindow(box);

    EXPECT_EQ(shown, kSortedTwelve) << "the list sorts 10 and 11 before 2";
    for (int index = 0; index < static_cast<int>(names.size()); ++index) {
        const int position = cameraLinkPortBoxPosition(shown, index);
        ASSERT_GE(position, 0) << index;
        EXPECT_EQ(shown[position], names[index]);
        EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(shown, position), index);
    }
}

} // namespace
