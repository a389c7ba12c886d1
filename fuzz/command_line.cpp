// The bridge program's command line as any list of arguments (one a line): the start
// values keep to their forms, their line settings parse to accepted values, and the
// status texts of the result are made without harm.
#include "command_line_info.h"
#include "connection_settings.h"
#include "fuzz_check.h"
#include "status_texts.h"

#include <string>
#include <vector>

using namespace clser;
using namespace clser::app;

namespace {

bool hasLowerCaseLetter(const std::string& s)
{
    for (char c : s)
        if (c >= 'a' && c <= 'z')
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> arguments;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const size_t lf = rest.find('\n');
        arguments.emplace_back(rest.substr(0, lf));
        rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
    }

    const CMyCommandLineInfo info = parseCommandLine(arguments);
    FUZZ_CHECK(info.comPortName.empty() || info.comPortName.rfind("COM", 0) == 0);
    FUZZ_CHECK(info.lineSettings.empty() || info.lineSettings.find(',') != std::string::npos);
    FUZZ_CHECK(!hasLowerCaseLetter(info.comPortName) && !hasLowerCaseLetter(info.lineSettings));
    FUZZ_CHECK(info.clPortIndex >= -1);
    FUZZ_CHECK(info.autorun == 0 || info.autorun == 1);

    const StartValues start = startValuesOf(info);
    if (start.comPortName.empty() || start.clPortIndex < 0)
        FUZZ_CHECK(start == StartValues{});

    // What the main dialog then does with them.
    ConnectionSettings settings;
    settings.userPortName = start.comPortName;
    settings.bridgePortName = "TARV" + start.comPortName;
    settings.clPortIndex = start.clPortIndex;
    if (!start.lineSettings.empty())
        parseLineSettings(start.lineSettings, settings);
    FUZZ_CHECK(settings.dataBits >= 5 && settings.dataBits <= 9);
    FUZZ_CHECK(clBaudCodeForRate(settings.baudRate) == settings.clBaudCode);

    std::vector<std::string> clPortNames;
    for (size_t i = 0; i < arguments.size() && i < 8; ++i)
        clPortNames.push_back(arguments[i]);
    const StatusTexts texts = statusTexts(info.autorun == 1, settings, clPortNames);
    FUZZ_CHECK(texts.tooltip.find(texts.panes[1]) != std::string::npos);
    return 0;
}
