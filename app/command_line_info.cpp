#include "command_line_info.h"

#include "digit_text.h"
#include "letter_case.h"
#include "network_settings.h"
#include "traffic_record_settings.h"

namespace clser::app {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

} // namespace

void CMyCommandLineInfo::parseParam(std::string_view argument)
{
    // A value beyond 32 bits stays at the largest, which no Camera Link port list reaches.
    if (isAllDigits(argument)) {
        clPortIndex = saturatedDecimalValue(argument);
        return;
    }
    if (!argument.empty() && (argument.front() == '/' || argument.front() == '-'))
        argument.remove_prefix(1);
    if (isRecordWord(argument)) {
        recordWord = std::string(argument);
        return;
    }
    const std::string upper = upperCase(argument);
    if (startsWith(upper, "COM"))
        comPortName = upper;
    if (upper.find(',') != std::string::npos)
        lineSettings = upper;
    if (startsWith(upper, "AUTORUN"))
        autorun = 1;
    if (startsWith(upper, "LOWLATENCY"))
        lowLatency = 1;
    // The word carries no comma, so it is never line settings as well.
    if (network::isNetworkWord(upper))
        networkWord = upper;
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
    return {info.comPortName, info.clPortIndex, info.lineSettings, info.autorun == 1, info.lowLatency == 1,
            info.networkWord, info.recordWord};
}

} // namespace clser::app
