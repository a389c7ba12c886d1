#include "environment_value.h"

#include <windows.h>

namespace clser {

std::optional<std::string> environmentValue(const char* name)
{
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0)
        return std::nullopt;
    std::string value(size, '\0');
    const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
    if (length >= size)
        return std::nullopt; // changed between the two calls
    value.resize(length);
    return value;
}

} // namespace clser
