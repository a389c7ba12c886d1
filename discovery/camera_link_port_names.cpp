#include "camera_link_port_names.h"

#include "digit_text.h"

#include <cstdio>

namespace clser::discovery {

std::string formatCameraLinkPortName(int globalIndex, std::string_view boardName, int portNumber)
{
    // The board name is not limited in length; the three parts are joined first and the
    // whole is cut, as a 256-byte buffer would cut it.
    char number[16];
    std::snprintf(number, sizeof number, "%d. ", globalIndex);
    char port[24];
    std::snprintf(port, sizeof port, "_Port%d", portNumber);
    std::string name = number;
    name.append(boardName);
    name += port;
    if (name.size() > kMaxCameraLinkPortNameLength)
        name.resize(kMaxCameraLinkPortNameLength);
    return name;
}

int cameraLinkPortIndexOfName(std::string_view displayName)
{
    return decimalValue(leadingDigits(displayName)).value_or(-1);
}

int cameraLinkPortBoxPosition(const std::vector<std::string>& shownItems, int clPortIndex)
{
    if (shownItems.empty())
        return -1;
    if (clPortIndex < 0)
        return 0;
    for (std::size_t position = 0; position < shownItems.size(); ++position)
        if (cameraLinkPortIndexOfName(shownItems[position]) == clPortIndex)
            return static_cast<int>(position);
    return -1;
}

int cameraLinkPortIndexAtBoxPosition(const std::vector<std::string>& shownItems, int position)
{
    if (position < 0 || static_cast<std::size_t>(position) >= shownItems.size())
        return -1;
    return cameraLinkPortIndexOfName(shownItems[static_cast<std::size_t>(position)]);
}

} // namespace clser::discovery
