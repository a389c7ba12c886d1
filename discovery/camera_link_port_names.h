// Display names of Camera Link serial ports, "<index>. <board>_Port<n>", and the port
// index each one carries as its leading number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace clser::discovery {

// Longest display name kept: the name is formatted into 256 bytes with the terminating
// zero, and a longer one is cut there.
constexpr std::size_t kMaxCameraLinkPortNameLength = 255;

// "%d. %s_Port%d" with the global port index, the board name and the port's number on
// its board, cut to 255 characters.
std::string formatCameraLinkPortName(int globalIndex, std::string_view boardName, int portNumber);

// The Camera Link port index a display name begins with (12 for "12. X_Port3"); -1 when
// the name does not begin with a decimal number or the number is out of range.
int cameraLinkPortIndexOfName(std::string_view displayName);

// A Camera Link serial port as the port lists show it, and what opens it: this system's
// own ports are "<index>. <board>_Port<n>", another maker's "<maker> port <k>".
struct CameraLinkPort {
    std::string name;
    std::string library; // the serial library's file name; empty: this system's own
    int32_t index = 0;   // the port's index within its library
};

// Position in ports of the port that (library, index) names, this system's own library
// under an empty name or its own file name; -1 when none does.
int cameraLinkPortPosition(const std::vector<CameraLinkPort>& ports, std::string_view library, int32_t index);

// The port settings dialog lists the names in a sorted box, where "10. A_Port0" comes
// before "2. A_Port2" and another maker's ports follow by name: a position in the box is
// neither the port index nor the list position. Each item therefore carries as its data
// its port's position in ports; itemData are the items' data in the order the box shows
// them.

// Position to select for (library, index): the item of that port; position 0 for a
// negative index; -1 (no selection) when no item is that port or the box is empty.
int cameraLinkPortBoxPosition(const std::vector<intptr_t>& itemData, const std::vector<CameraLinkPort>& ports,
                              std::string_view library, int32_t index);

// The port of the item at a selected position; nullptr for no selection (-1), a position
// outside the box or an item that is no port of the list.
const CameraLinkPort* cameraLinkPortAtBoxPosition(const std::vector<intptr_t>& itemData,
                                                  const std::vector<CameraLinkPort>& ports, int position);

} // namespace clser::discovery
