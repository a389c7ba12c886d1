#include "serial_device_names.h"

#include "letter_case.h"

namespace clser::vcom {
namespace {

constexpr std::size_t kShortestName = 4;
constexpr std::size_t kLongestName = 14;

} // namespace

std::vector<std::string> filterSerialDeviceNames(std::string_view zeroSeparatedNames)
{
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < zeroSeparatedNames.size()) {
        std::size_t end = zeroSeparatedNames.find('\0', pos);
        if (end == std::string_view::npos)
            end = zeroSeparatedNames.size();
        const std::string_view name = zeroSeparatedNames.substr(pos, end - pos);
        if (name.empty())
            break;
        pos = end + 1;
        if (name.size() < kShortestName || name.size() > kLongestName)
            continue;
        // A name may count twice in principle; both tests run independently.
        if (startsWithIgnoringCase(name, "COM") && isAllDigits(name.substr(3)))
            names.emplace_back(name);
        if (startsWithIgnoringCase(name, "tarvcom") && isAllDigits(name.substr(7)))
            names.emplace_back(name);
    }
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
