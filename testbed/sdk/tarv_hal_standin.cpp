// Stand-in for the frame-grabber SDK's hardware library: one device per configured
// board (see sdk_board_config.h). Two more exports let tests see how the devices were
// used: SimInitDeviceCalls (THalInitDevice calls so far) and SimOpenDeviceCount
// (handles not yet freed).
#include "sdk_board_config.h"
#include "sdk_entry_points.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <type_traits>

#define STANDIN_EXPORT extern "C" __declspec(dllexport)

namespace {

// A device keeps a copy of its board, so that the name it hands out lives until the
// handle is freed.
struct SimDevice {
    clser::testbed::SimBoard board;
};

std::mutex devicesLock;
std::set<SimDevice*> openDevices;
int initDeviceCalls = 0;

bool isOpen(SimDevice* device)
{
    std::lock_guard<std::mutex> lock(devicesLock);
    return openDevices.count(device) != 0;
}

clser::testbed::SdkBoardConfig config()
{
    clser::testbed::SdkBoardConfig c = clser::testbed::currentSdkBoardConfig();
    if (!c.valid)
        std::fprintf(stderr, "tarv_hal stand-in: %s\n", c.error.c_str());
    return c;
}

} // namespace

STANDIN_EXPORT int CLSER_SDK_CALL THalGetMaxDevices()
{
    const clser::testbed::SdkBoardConfig c = config();
    return c.valid ? c.maxDevices : 0;
}

STANDIN_EXPORT void* CLSER_SDK_CALL THalInitDevice(int deviceIndex)
{
    {
        std::lock_guard<std::mutex> lock(devicesLock);
        ++initDeviceCalls;
    }
    const clser::testbed::SdkBoardConfig c = config();
    const auto board = c.boards.find(deviceIndex);
    if (!c.valid || board == c.boards.end())
        return nullptr;
    auto* device = new SimDevice{board->second};
    std::lock_guard<std::mutex> lock(devicesLock);
    openDevices.insert(device);
    return device;
}

STANDIN_EXPORT int CLSER_SDK_CALL THalGetBoardInfoInt(void* handle, const char* key)
{
    auto* device = static_cast<SimDevice*>(handle);
    if (!key || !isOpen(device))
        return 0;
    if (std::strcmp(key, clser::sdk::kKeySerialPorts) == 0)
        return device->board.serialPorts;
    if (std::strcmp(key, clser::sdk::kKeyCameraLinkPorts) == 0)
        return device->board.cameraLinkPorts;
    return 0;
}

#ifndef CLSER_SDK_PARTIAL
STANDIN_EXPORT const char* CLSER_SDK_CALL THalGetBoardInfoString(void* handle, const char* key)
{
    auto* device = static_cast<SimDevice*>(handle);
    if (!key || !isOpen(device) || std::strcmp(key, clser::sdk::kKeyBoardName) != 0 || !device->board.name)
        return nullptr;
    return device->board.name->c_str();
}
static_assert(std::is_same_v<decltype(&THalGetBoardInfoString), clser::sdk::THalGetBoardInfoStringFn>);
#endif

STANDIN_EXPORT void CLSER_SDK_CALL THalFreeDevice(void* handle)
{
    auto* device = static_cast<SimDevice*>(handle);
    {
        std::lock_guard<std::mutex> lock(devicesLock);
        if (openDevices.erase(device) == 0)
            return; // not ours, or freed already
    }
    delete device;
}

STANDIN_EXPORT int CLSER_SDK_CALL SimInitDeviceCalls()
{
    std::lock_guard<std::mutex> lock(devicesLock);
    return initDeviceCalls;
}

STANDIN_EXPORT int CLSER_SDK_CALL SimOpenDeviceCount()
{
    std::lock_guard<std::mutex> lock(devicesLock);
    return static_cast<int>(openDevices.size());
}

static_assert(std::is_same_v<decltype(&THalGetMaxDevices), clser::sdk::THalGetMaxDevicesFn>);
static_assert(std::is_same_v<decltype(&THalInitDevice), clser::sdk::THalInitDeviceFn>);
static_assert(std::is_same_v<decltype(&THalGetBoardInfoInt), clser::sdk::THalGetBoardInfoIntFn>);
static_assert(std::is_same_v<decltype(&THalFreeDevice), clser::sdk::THalFreeDeviceFn>);
