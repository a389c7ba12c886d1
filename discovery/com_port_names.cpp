#include "com_port_names.h"

#include "letter_case.h"

namespace clser::discovery {

bool isComPortDeviceName(std::string_view name)
{
    if (name.size() < 4 || name.size() > 7)
        return false;
    return startsWithIgnoringCase(name, "COM") && isAllDigits(name.substr(3));
}

std::vector<std::string> splitDeviceNameList(const char* buffer, std::size_t length)
{
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < length && buffer[pos] != '\0') {
        std::size_t end = pos;
        while (end < length && buffer[end] != '\0')
            ++end;
        names.emplace_back(buffer + pos, end - pos);
        pos = end + 1;
    }
    return names;
}

} // namespace clser::discovery
