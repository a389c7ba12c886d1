#include "camera_link_enumeration.h"

#include "camera_link_port_names.h"
#include "sdk_binding.h"
#include "unique_handle.h"

#include <cstdlib>

namespace clser::discovery {
namespace {

// Bounds on what the hardware library may claim. Real machines stay far below them; a
// library that answers with a runaway count would otherwise keep the start-up probing for
// hours, or fill memory with port names, before the window ever shows.
constexpr int kMostDeviceIndicesProbed = 256;
constexpr int kMostSerialPortsPerBoard = 64;

void freeDevice(sdk::DeviceHandle device) noexcept { sdk::THalFreeDevice(device); }
using UniqueDevice = UniqueAny<NullIsNone<sdk::DeviceHandle, freeDevice>>;

// Number of installed boards as the acquisition library reports it; 0 when it cannot say.
int installedBoardCount()
{
    char text[256] = {};
    unsigned int length = sizeof text;
    if (sdk::Fg_getSystemInformation(nullptr, sdk::kSystemInfoBoardCount, 0, 0, text, &length) != 0)
        return 0;
    text[sizeof text - 1] = '\0'; // read no further than the buffer, terminated or not
    return std::atoi(text);
}

} // namespace

bool enumerateCameraLinkPorts(std::vector<std::string>& clPortNames)
{
    bool found = false;
    int globalIndex = 0;
    int opened = 0;

    int maxDevices = sdk::THalGetMaxDevices(); // -2130 without the library: no probe
    if (maxDevices > kMostDeviceIndicesProbed)
        maxDevices = kMostDeviceIndicesProbed;
    const int boardCount = installedBoardCount();
    if (boardCount <= 0)
        return false;

    for (int deviceIndex = 0; deviceIndex < maxDevices; ++deviceIndex) {
        UniqueDevice device(sdk::THalInitDevice(deviceIndex));
        if (!device)
            continue; // no board answers here: not counted
        ++opened;
        int ports = sdk::THalGetBoardInfoInt(device.get(), sdk::kKeySerialPorts);
        if (ports <= 0)
            ports = sdk::THalGetBoardInfoInt(device.get(), sdk::kKeyCameraLinkPorts);
        if (ports > kMostSerialPortsPerBoard)
            ports = kMostSerialPortsPerBoard;
        if (const char* boardName = sdk::THalGetBoardInfoString(device.get(), sdk::kKeyBoardName)) {
            for (int port = 0; port < ports; ++port) {
                found = true;
                clPortNames.push_back(formatCameraLinkPortName(globalIndex, boardName, port));
                ++globalIndex;
            }
        }
        device.reset();
        if (opened >= boardCount)
            break;
    }
    return found;
}

} // namespace clser::discovery
