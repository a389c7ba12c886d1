#include "com_port_enumeration.h"

#include "com_port_names.h"

#include <windows.h>

#include <new>
#include <string>

namespace clser::discovery {
namespace {

constexpr DWORD kFirstBufferSize = 4096;
// A device list is a few kilobytes; a query that still wants more than this has failed.
constexpr DWORD kLargestBufferSize = 16u << 20;

bool isNtFamily()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The system's device names; false when they cannot be read.
bool readDeviceNames(std::vector<std::string>& names)
{
    for (DWORD size = kFirstBufferSize; size <= kLargestBufferSize; size *= 2) {
        std::vector<char> buffer;
        try {
            buffer.assign(size, '\0');
        } catch (const std::bad_alloc&) {
            return false;
        }
        const DWORD length = QueryDosDeviceA(nullptr, buffer.data(), size);
        if (length != 0) {
            names = splitDeviceNameList(buffer.data(), length);
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return false;
    }
    return false;
}

} // namespace

int enumerateComPorts(std::vector<PortEntry>& portEntries)
{
    if (!isNtFamily()) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return 0;
    }
    std::vector<std::string> names;
    if (!readDeviceNames(names))
        return 0;
    for (std::string& name : names)
        if (isComPortDeviceName(name))
            portEntries.push_back(PortEntry{{}, std::move(name), {}});
    return 1;
}

} // namespace clser::discovery
