#include "dos_device_names.h"

#include <windows.h>

#include <new>

namespace clser {

std::optional<std::string> queryDosDeviceNames()
{
    constexpr DWORD kFirstBufferSize = 4096;
    // A device list is a few kilobytes; a query that still wants more than this has failed.
    constexpr DWORD kLargestBufferSize = 16u << 20;
    for (DWORD size = kFirstBufferSize; size <= kLargestBufferSize; size *= 2) {
        std::string buffer;
        try {
            buffer.assign(size, '\0');
        } catch (const std::bad_alloc&) {
            SetLastError(ERROR_OUTOFMEMORY);
            return std::nullopt;
        }
        const DWORD length = QueryDosDeviceA(nullptr, buffer.data(), size);
        if (length != 0) {
            buffer.resize(length);
            return buffer;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace clser
