#include "camera_link_port_names.h"

#include "cl_serial_library_names.h"
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

int cameraLinkPortPosition(const std::vector<CameraLinkPort>& ports, std::string_view library, int32_t index)
{
    for (std::size_t position = 0; position < ports.size(); ++position)
        if (ports[position].index == index && sameClSerialLibrary(ports[position].library, library))
            return static_cast<int>(position);
    return -1;
}

int cameraLinkPortBoxPosition(const std::vector<intptr_t>& itemData, const std::vector<CameraLinkPort>& ports,
                              std::string_view library, int32_t index)
{
    if (itemData.empty())
        return -1;
    if (index < 0)
        return 0;
    const int port = cameraLinkPortPosition(ports, library, index);
    for (std::size_t position = 0; port >= 0 && position < itemData.size(); ++position)
        if (itemData[position] == port)
            return static_cast<int>(position);
    return -1;
}

const CameraLinkPort* cameraLinkPortAtBoxPosition(const std::vector<intptr_t>& itemData,
                                                  const std::vector<CameraLinkPort>& ports, int position)
{
    if (position < 0 || static_cast<std::size_t>(position) >= itemData.size())
        return nullptr;
    const intptr_t port = itemData[static_cast<std::size_t>(position)];
    if (port < 0 || static_cast<std::size_t>(port) >= ports.size())
        return nullptr;
    return &ports[static_cast<std::size_t>(port)];
}

} // namespace clser::discovery
