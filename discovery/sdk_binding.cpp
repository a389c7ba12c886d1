#include "sdk_binding.h"

#include "sdk_directory.h"
#include "sdk_root_path.h"
#include "unique_handle.h"

#include <windows.h>

#include <string>
#include <utility>

namespace clser::sdk {
namespace {

// A library while it is being loaded. It is made so that discarding it keeps the
// library loaded: the bound entry points stay valid for the rest of the process.
class SdkLibrary {
public:
    explicit SdkLibrary(std::string path) : path_(std::move(path)) {}
    ~SdkLibrary() { module_.release(); }
    SdkLibrary(const SdkLibrary&) = delete;
    SdkLibrary& operator=(const SdkLibrary&) = delete;

    bool load()
    {
        module_.reset(LoadLibraryA(path_.c_str()));
        return module_.valid();
    }
    HMODULE module() const { return module_.get(); }

private:
    UniqueModule module_;
    std::string path_;
};

// One slot per bound entry point, null when the library does not export it.
template <std::size_t N>
struct LibraryBinding {
    const char* name;
    const char* entryNames[N];
    FARPROC slots[N];
    bool loaded;
};

enum AcquisitionEntry { kFgGetSystemInformation, kAcquisitionEntryCount };
enum HardwareEntry {
    kTHalGetMaxDevices,
    kTHalInitDevice,
    kTHalGetBoardInfoInt,
    kTHalGetBoardInfoString,
    kTHalFreeDevice,
    kHardwareEntryCount
};

LibraryBinding<kAcquisitionEntryCount> acquisitionLibrary{"acqlib5", {"Fg_getSystemInformation"}, {}, false};
LibraryBinding<kHardwareEntryCount> hardwareLibrary{
    "tarv_hal",
    {"THalGetMaxDevices", "THalInitDevice", "THalGetBoardInfoInt", "THalGetBoardInfoString", "THalFreeDevice"},
    {},
    false};

template <std::size_t N>
int load(LibraryBinding<N>& binding)
{
    if (binding.loaded)
        return 0;
    const char* directory = discovery::locateSdkDirectory();
    if (!directory)
        return kNotAvailable;
    SdkLibrary library(discovery::sdkLibraryPath(directory, binding.name));
    if (!library.load())
        return kNotAvailable;
    for (std::size_t i = 0; i < N; ++i)
        binding.slots[i] = GetProcAddress(library.module(), binding.entryNames[i]);
    binding.loaded = true;
    return 0;
}

// The bound address of an entry point, loading its library first if need be.
template <typename Fn, std::size_t N>
Fn entryPoint(LibraryBinding<N>& binding, std::size_t slot)
{
    if (!binding.loaded)
        load(binding);
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(binding.slots[slot]));
}

} // namespace

int loadAcquisitionLibrary() { return load(acquisitionLibrary); }
int loadHardwareLibrary() { return load(hardwareLibrary); }

int Fg_getSystemInformation(BoardHandle board, int selector, int property, int parameter, char* buffer,
                            unsigned int* bufferLength)
{
    auto fn = entryPoint<FgGetSystemInformationFn>(acquisitionLibrary, kFgGetSystemInformation);
    return fn ? fn(board, selector, property, parameter, buffer, bufferLength) : kNotAvailable;
}

int THalGetMaxDevices()
{
    auto fn = entryPoint<THalGetMaxDevicesFn>(hardwareLibrary, kTHalGetMaxDevices);
    return fn ? fn() : kNotAvailable;
}

DeviceHandle THalInitDevice(int deviceIndex)
{
    auto fn = entryPoint<THalInitDeviceFn>(hardwareLibrary, kTHalInitDevice);
    return fn ? fn(deviceIndex) : nullptr;
}

int THalGetBoardInfoInt(DeviceHandle device, const char* key)
{
    auto fn = entryPoint<THalGetBoardInfoIntFn>(hardwareLibrary, kTHalGetBoardInfoInt);
    return fn ? fn(device, key) : kNotAvailable;
}

const char* THalGetBoardInfoString(DeviceHandle device, const char* key)
{
    auto fn = entryPoint<THalGetBoardInfoStringFn>(hardwareLibrary, kTHalGetBoardInfoString);
    return fn ? fn(device, key) : nullptr;
}

void THalFreeDevice(DeviceHandle device)
{
    if (auto fn = entryPoint<THalFreeDeviceFn>(hardwareLibrary, kTHalFreeDevice))
        fn(device);
}

} // namespace clser::sdk
