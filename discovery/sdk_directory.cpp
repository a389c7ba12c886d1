#include "sdk_directory.h"

#include "critical_section.h"
#include "environment_value.h"
#include "program_path.h"
#include "sdk_root_path.h"

#include <windows.h>

#include <string>

namespace clser::discovery {
namespace {

// Set once and never changed after, so the text it hands out stays valid.
std::string cachedDirectory;
bool cacheResolved = false;

// Full path of the module that holds this code: the program itself when the library is
// linked into it. Empty when it cannot be had.
std::string ownModulePath()
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ownModulePath), &module))
        return {};
    return modulePath(module);
}

const char* cache(const std::string& root)
{
    cachedDirectory = root;
    cacheResolved = true;
    return cachedDirectory.c_str();
}

} // namespace

const char* locateSdkDirectory()
{
    static CriticalSection cacheLock;
    CriticalSectionLock lock(cacheLock);
    if (cacheResolved)
        return cachedDirectory.c_str();

    if (const std::optional<std::string> root = sdkRootFromModulePath(ownModulePath()))
        return cache(*root);

    // An empty variable counts as not set: an empty root would name the drive's root.
    std::string value = environmentValue("TARVDIR5_32").value_or("");
    if (value.empty())
        value = environmentValue("TARVDIR5").value_or("");
    if (value.empty())
        return nullptr;
    return cache(sdkRootFromEnvironmentValue(value));
}

} // namespace clser::discovery
