#include "device_name_scan.h"

#include "serial_device_names.h"
#include "unique_handle.h"

#include <windows.h>

#include <string_view>

namespace clser::vcom {
namespace {

void heapFree(void* block) noexcept { HeapFree(GetProcessHeap(), 0, block); }
using UniqueHeapBlock = UniqueAny<NullIsNone<void*, heapFree>>;

constexpr DWORD kFirstBufferSize = 4096;

bool runsOnWindowsNt()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

} // namespace

std::vector<std::string> scanSerialDeviceNames()
{
    if (!runsOnWindowsNt()) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return {};
    }
    for (DWORD size = kFirstBufferSize;; size *= 2) {
        UniqueHeapBlock buffer(HeapAlloc(GetProcessHeap(), 0, size));
        if (!buffer) {
            SetLastError(ERROR_OUTOFMEMORY);
            return {};
        }
        const DWORD written = QueryDosDeviceA(nullptr, static_cast<char*>(buffer.get()), size);
        if (written == 0) {
            if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && size < 0x40000000)
                continue;
            return {};
        }
        return filterSerialDeviceNames(std::string_view(static_cast<const char*>(buffer.get()), written));
    }
}

} // namespace clser::vcom
