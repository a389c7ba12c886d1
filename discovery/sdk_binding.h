// Forwarding functions for the frame-grabber SDK entry points that port discovery uses.
// Each loads its library (<SDK root>\bin\acqlib5.dll or tarv_hal.dll) on first use and
// calls the entry point of the same name. A library that cannot be loaded is tried again
// on the next call; a missing library or entry point gives kNotAvailable (-2130), or null
// for the entry points that return a handle or a text.
#pragma once

#include "sdk_entry_points.h"

namespace clser::sdk {

int Fg_getSystemInformation(BoardHandle board, int selector, int property, int parameter, char* buffer,
                            unsigned int* bufferLength);

int THalGetMaxDevices();
DeviceHandle THalInitDevice(int deviceIndex);
int THalGetBoardInfoInt(DeviceHandle device, const char* key);
const char* THalGetBoardInfoString(DeviceHandle device, const char* key);
void THalFreeDevice(DeviceHandle device); // does nothing when the entry point is missing

// Loads a library and binds its entry points: 0, or kNotAvailable when there is no SDK
// directory or the library cannot be loaded. The forwarding functions call these
// themselves; a library once loaded stays loaded until the process ends.
int loadAcquisitionLibrary(); // acqlib5
int loadHardwareLibrary();    // tarv_hal

} // namespace clser::sdk
