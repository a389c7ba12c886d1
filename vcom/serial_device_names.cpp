#include "serial_device_names.h"

#include <cctype>
#include <climits>

namespace clser::vcom {
namespace {

constexpr std::size_t kShortestName = 4;
constexpr std::size_t kLongestName = 14;

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

bool parsePortNumber(std::string_view digits, int* number)
{
    long long value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return false;
    }
    *number = static_cast<int>(value);
    return true;
}

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
        int number = 0;
        if (isAllDigits(rest) && parsePortNumber(rest, &number))
            numbers.push_back(number);
    }
    return numbers;
}

} // namespace clser::vcom
