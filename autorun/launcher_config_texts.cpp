// The texts the launcher makes of a connection section: the COM port name, the bridge
// end to look for, and the bridge program's parameters. No Windows call here, so they
// also build and run natively.
#include "launcher_config.h"

#include "digit_text.h"
#include "dunmere_config.h"
#include "letter_case.h"
#include "virtual_pair.h"

#include <cstdio>

namespace clser::autorun {
namespace {

bool hasSeparator(const std::string& s)
{
    for (char c : s)
        if (c == ' ' || c == '\t' || c == '"')
            return true;
    return false;
}

} // namespace

std::string comPortNameOf(std::string_view comValue)
{
    if (isAllDigits(comValue))
        return "COM" + std::string(comValue);
    return std::string(comValue);
}

std::string bridgeSearchKey(std::string_view comPortName)
{
    return partnerName(upperCase(comPortName));
}

std::string lineSettingsText(const LauncherSection& s)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d,%s,%d,%s", s.baudrate, s.parity.c_str(), s.databit, s.stopbit.c_str());
    return buf;
}

std::string quotedArgument(std::string_view text)
{
    std::string quoted = "\"" + std::string(text);
    for (std::size_t i = text.size(); i > 0 && text[i - 1] == '\\'; --i)
        quoted += '\\';
    return quoted + "\"";
}

std::string bridgeParameters(const std::string& comPortName, int clIndex, const std::string& lineSettings,
                             bool lowLatency, const std::string& networkWord, const std::string& recordWord)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s %d %s %s", comPortName.c_str(), clIndex, lineSettings.c_str(), "Autorun");
    std::string parameters = buf;
    if (lowLatency)
        parameters += " LowLatency";
    if (!networkWord.empty())
        parameters += " " + networkWord;
    if (!recordWord.empty())
        parameters += " " + quotedArgument(recordWord);
    return parameters;
}

LowLatencyValue lowLatencyOf(std::string_view value)
{
    if (value == "1")
        return LowLatencyValue::On;
    if (value.empty() || value == "0")
        return LowLatencyValue::Off;
    return LowLatencyValue::Unrecognised;
}

const char* unpassableValue(const LauncherSection& s)
{
    if (hasSeparator(s.com))
        return config::kCom;
    if (hasSeparator(s.parity))
        return config::kParity;
    if (hasSeparator(s.stopbit))
        return config::kStopbit;
    return nullptr;
}

} // namespace clser::autorun
