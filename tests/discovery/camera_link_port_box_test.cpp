#include "camera_link_port_names.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace clser::discovery;

namespace {

// Twelve ports of this system's own library.
std::vector<CameraLinkPort> listedPorts()
{
    std::vector<CameraLinkPort> ports;
    for (int i = 0; i < 12; ++i)
        ports.push_back({formatCameraLinkPortName(i, i < 8 ? "A" : "B", i < 8 ? i : i - 8), "", i});
    return ports;
}

// A real sorted list, as the drop-down list of the port settings dialog's sorted box
// keeps its items (the same sorting; a message-only list box needs no display), each
// item carrying its port's position: whatever order it shows, every position maps back
// to the port whose name it shows.
TEST(CameraLinkPortBox, RealSortedListRoundTrips)
{
    HWND box = CreateWindowExA(0, "LISTBOX", "", LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 200, HWND_MESSAGE, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(box, nullptr);
    const std::vector<CameraLinkPort> ports = listedPorts();
    for (size_t p = 0; p < ports.size(); ++p) {
        const LRESULT at = SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ports[p].name.c_str()));
        SendMessageA(box, LB_SETITEMDATA, at, static_cast<LPARAM>(p));
    }
    std::vector<std::string> shown;
    std::vector<intptr_t> data;
    const int count = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        shown.push_back(text);
        data.push_back(static_cast<intptr_t>(SendMessageA(box, LB_GETITEMDATA, i, 0)));
    }
    DestroyWindow(box);

    EXPECT_EQ(shown[2], "10. B_Port2") << "the list sorts 10 and 11 before 2";
    for (const CameraLinkPort& port : ports) {
        const int position = cameraLinkPortBoxPosition(data, ports, port.library, port.index);
        ASSERT_GE(position, 0) << port.name;
        EXPECT_EQ(shown[position], port.name);
        EXPECT_EQ(cameraLinkPortAtBoxPosition(data, ports, position), &port);
    }
}

} // namespace
