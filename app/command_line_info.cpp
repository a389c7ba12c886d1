#include "command_line_info.h"

#include <climits>

namespace clser::app {
namespace {

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The decimal value of a digits-only text; a value beyond 32 bits stays at the largest,
// which no Camera Link port list reaches.
int32_t decimalValue(std::string_view digits)
{
    long long value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return static_cast<int32_t>(value);
}

std::string upperCase(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

} // namespace

void CMyCommandLineInfo::parseParam(std::string_view argument)
{
    if (allDigits(argument)) {
        clPortIndex = decimalValue(argument);
        return;
    }
    if (!argument.empty() && (argument.front() == '/' || argument.front() == '-'))
        argument.remove_prefix(1);
    const std::string upper = upperCase(argument);
    if (startsWith(upper, "COM"))
        comPortName = upper;
    if (upper.find(',') != std::string::npos)
        lineSettings = upper;
    if (startsWith(upper, "AUTORUN"))
        autorun = 1;
    if (startsWith(upper, "LOWLATENCY"))
        lowLatency = 1;
}

CMyCommandLineInfo parseCommandLine(const std::vector<std::string>& arguments)
{
    CMyCommandLineInfo info;
    for (const std::string& argument : arguments)
        info.parseParam(argument);
    return info;
}

StartValues startValuesOf(const CMyCommandLineInfo& info)
{
    if (info.comPortName.empty() || info.clPortIndex < 0)
        return {};
    return {info.comPortName, info.clPortIndex, info.lineSettings, info.autorun == 1, info.lowLatency == 1};
}

} // namespace clser::app
