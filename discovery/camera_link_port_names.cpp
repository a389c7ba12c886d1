#include "camera_link_port_names.h"

#include <climits>
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
    if (displayName.empty() || displayName[0] < '0' || displayName[0] > '9')
        return -1;
    long long value = 0;
    for (char c : displayName) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return -1;
    }
    return static_cast<int>(value);
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
