// Display names of Camera Link serial ports, "<index>. <board>_Port<n>", and the port
// index each one carries as its leading number.
#pragma once

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

// The port settings dialog lists the names in a sorted box, where "10. A_Port0" comes
// before "2. A_Port2": a position in the box is not the port index once there are more
// than ten ports. The box's items are therefore mapped through the index in their names.
// shownItems are the texts in the order the box shows them.

// Position to select for clPortIndex: the item whose name carries that index; position 0
// for a negative index; -1 (no selection) when no item carries it or the box is empty.
int cameraLinkPortBoxPosition(const std::vector<std::string>& shownItems, int clPortIndex);

// clPortIndex for the item at a selected position; -1 for no selection (-1) or a position
// outside the box.
int cameraLinkPortIndexAtBoxPosition(const std::vector<std::string>& shownItems, int position);

} // namespace clser::discovery
