#include "sdk_directory.h"

#include "sdk_root_path.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>

namespace clser::discovery {
namespace {

constexpr DWORD kPathBufferSize = static_cast<DWORD>(kMaxSdkRootLength + 1);

char cachedDirectory[kPathBufferSize];
bool cacheResolved = false;
std::atomic<int> cacheLock{0};

class SpinLockGuard {
public:
    SpinLockGuard()
    {
        int expected = 0;
        while (!cacheLock.compare_exchange_weak(expected, 1, std::memory_order_acquire,
                                                std::memory_order_relaxed)) {
            expected = 0;
            YieldProcessor();
        }
    }
    ~SpinLockGuard() { cacheLock.exchange(0, std::memory_order_release); }
    SpinLockGuard(const SpinLockGuard&) = delete;
    SpinLockGuard& operator=(const SpinLockGuard&) = delete;
};

// Full path of the module that holds this code: the program itself when the library is
// linked into it. Empty when it cannot be had or did not fit the buffer.
std::string ownModulePath()
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ownModulePath), &module))
        return {};
    char path[kPathBufferSize] = {};
    const DWORD length = GetModuleFileNameA(module, path, kPathBufferSize);
    if (length == 0 || length >= kPathBufferSize)
        return {}; // a path that filled the buffer was cut off
    return std::string(path, length);
}

// The value of an environment variable; empty when it is not set or empty.
std::string environmentValue(const char* name)
{
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0)
        return {};
    std::string value(size, '\0');
    const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
    if (length == 0 || length >= size)
        return {}; // changed between the two calls
    value.resize(length);
    return value;
}

const char* cache(const std::string& root)
{
    std::memcpy(cachedDirectory, root.c_str(), root.size() + 1);
    cacheResolved = true;
    return cachedDirectory;
}

} // namespace

const char* locateSdkDirectory()
{
    SpinLockGuard lock;
    if (cacheResolved)
        return cachedDirectory;

    if (const std::optional<std::string> root = sdkRootFromModulePath(ownModulePath()))
        return cache(*root);

    // An empty variable counts as not set: an empty root would name the drive's root.
    std::string value = environmentValue("TARVDIR5_32");
    if (value.empty())
        value = environmentValue("TARVDIR5");
    if (value.empty())
        return nullptr;
    return cache(sdkRootFromEnvironmentValue(value));
}

} // namespace clser::discovery
