#include "camera_link_port_names.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace clser::discovery;

namespace {

std::vector<std::string> twelvePortNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i)
        names.push_back(formatCameraLinkPortName(i, i < 8 ? "A" : "B", i < 8 ? i : i - 8));
    return names;
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

    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(shown, sorted);
    EXPECT_EQ(shown[2], "10. B_Port2") << "the list sorts 10 and 11 before 2";
    for (int index = 0; index < static_cast<int>(names.size()); ++index) {
        const int position = cameraLinkPortBoxPosition(shown, index);
        ASSERT_GE(position, 0) << index;
        EXPECT_EQ(shown[position], names[index]);
        EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(shown, position), index);
    }
}

} // namespace
