#include "serial_device_names.h"

#include "dos_device_names.h"

namespace clser::vcom {

std::vector<std::string> filterSerialDeviceNames(std::string_view zeroSeparatedNames)
{
    constexpr std::size_t kLongestName = 14;
    std::vector<std::string> names;
    for (std::string& name : splitDosDeviceNames(zeroSeparatedNames))
        if (isNumberedDeviceName(name, "COM", kLongestName) || isNumberedDeviceName(name, "TARVCOM", kLongestName))
            names.push_back(std::move(name));
    return names;
}

std::vector<int> collectUsedPortNumbers(const std::vector<std::string>& deviceNames)
{
    std::vector<int> numbers;
    for (const std::string& name : deviceNames) {
        std::string_view rest;
        if (name.rfind("COM", 0) == 0)
            rest = std::string_view(name).substr(3);
        else if (name.rfind("TARVCOM", 0) == 0)
            rest = std::string_view(name).substr(7);
        if (const auto number = decimalValue(rest))
            numbers.push_back(*number);
    }
    return numbers;
}

} // namespace clser::vcom
