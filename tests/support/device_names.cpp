#include "device_names.h"

#include <windows.h>

#include <algorithm>

namespace clser::test {

std::vector<std::string> dosDeviceNames()
{
    std::vector<char> buffer(1 << 20);
    const DWORD n = QueryDosDeviceA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::vector<std::string> names;
    for (DWORD i = 0; i < n && buffer[i];) {
        names.emplace_back(&buffer[i]);
        i += static_cast<DWORD>(names.back().size()) + 1;
    }
    return names;
}

bool deviceListed(const std::string& name)
{
    const std::vector<std::string> names = dosDeviceNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace clser::test
