// The six entry points of the frame-grabber SDK libraries that port discovery calls.
// acqlib5.dll and tarv_hal.dll export them by name, with C linkage and the C calling
// convention (the caller removes the arguments), in 32- and 64-bit builds alike.
#pragma once

#define CLSER_SDK_CALL __cdecl

namespace clser::sdk {

// Status of a forwarding call whose library or entry point is not available.
constexpr int kNotAvailable = -2130;

// Fg_getSystemInformation selector that asks for the number of installed boards.
constexpr int kSystemInfoBoardCount = 1000;

// Board-information keys read through the hardware library.
constexpr const char* kKeySerialPorts = "ports/serial";
constexpr const char* kKeyCameraLinkPorts = "cl";
constexpr const char* kKeyBoardName = "board/name";

using BoardHandle = void*;  // acquisition library board; null asks about the system
using DeviceHandle = void*; // hardware library device, null when no board answers

// acqlib5: 0 on success with the answer as text in buffer; *bufferLength holds the
// buffer size before the call.
using FgGetSystemInformationFn = int(CLSER_SDK_CALL*)(BoardHandle board, int selector, int property,
                                                      int parameter, char* buffer,
                                                      unsigned int* bufferLength);
// tarv_hal
using THalGetMaxDevicesFn = int(CLSER_SDK_CALL*)();
using THalInitDeviceFn = DeviceHandle(CLSER_SDK_CALL*)(int deviceIndex);
using THalGetBoardInfoIntFn = int(CLSER_SDK_CALL*)(DeviceHandle device, const char* key);
using THalGetBoardInfoStringFn = const char*(CLSER_SDK_CALL*)(DeviceHandle device, const char* key);
using THalFreeDeviceFn = void(CLSER_SDK_CALL*)(DeviceHandle device);

} // namespace clser::sdk
