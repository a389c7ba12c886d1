// The launcher's texts from any section values: the COM port name and the bridge end to
// look for, the line settings text and the bridge's parameters whole for every value a
// configuration file yields (texts of at most 7 characters), and, when the values can
// be passed, the bridge's command-line classification reads them back.
//
// Input: lines "com", "clser", "baudrate", "parity", "databit", "stopbit", "lowlatency"
// (integers in decimal; an unreadable one keeps its default).
#include "connection_settings.h"
#include "fuzz_check.h"
#include "launcher_config.h"
#include "command_line_info.h"

#include <cctype>
#include <charconv>
#include <string>
#include <vector>

using namespace clser;
using namespace clser::autorun;

namespace {

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// As the profile functions give it: no NUL, no line end, at most 7 characters.
std::string profileText(std::string_view line)
{
    std::string text;
    for (char c : line.substr(0, 7))
        if (c != '\0' && c != '\r')
            text += c;
    return text;
}

int profileInt(std::string_view line, int fallback)
{
    int value = fallback;
    std::from_chars(line.data(), line.data() + line.size(), value);
    return value;
}

std::vector<std::string> splitAtBlanks(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : line + ' ') {
        if (c == ' ' || c == '\t') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string_view lines[7];
    for (auto& line : lines) {
        const size_t lf = rest.find('\n');
        line = rest.substr(0, lf);
        rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
    }
    LauncherSection s;
    s.com = profileText(lines[0]);
    s.clser = profileInt(lines[1], 0);
    s.baudrate = profileInt(lines[2], 9600);
    s.parity = lines[3].empty() ? "n" : profileText(lines[3]);
    s.databit = profileInt(lines[4], 8);
    s.stopbit = lines[5].empty() ? "1" : profileText(lines[5]);
    s.lowlatency = profileText(lines[6]);
    const LowLatencyValue asked = lowLatencyOf(s.lowlatency);
    FUZZ_CHECK((asked == LowLatencyValue::On) == (s.lowlatency == "1"));
    FUZZ_CHECK((asked == LowLatencyValue::Off) == (s.lowlatency.empty() || s.lowlatency == "0"));
    const bool lowLatency = asked == LowLatencyValue::On;

    const std::string portName = comPortNameOf(s.com);
    FUZZ_CHECK(portName == s.com || portName == "COM" + s.com);
    const std::string key = bridgeSearchKey(portName);
    FUZZ_CHECK(key == "TARV" + upper(portName));

    const std::string settings = lineSettingsText(s);
    FUZZ_CHECK(settings == std::to_string(s.baudrate) + "," + s.parity + "," + std::to_string(s.databit) + "," +
                               s.stopbit);
    const std::string parameters = bridgeParameters(portName, s.clser, settings, lowLatency);
    FUZZ_CHECK(parameters == portName + " " + std::to_string(s.clser) + " " + settings + " Autorun" +
                                 (lowLatency ? " LowLatency" : ""));

    ConnectionSettings parsed;
    parseLineSettings(upper(settings), parsed);
    FUZZ_CHECK(parsed.line.dataBits >= 5 && parsed.line.dataBits <= 9);

    if (unpassableValue(s) != nullptr)
        return 0;
    // The bridge program's side: the same values back, as long as each word keeps to
    // its own test (a name that reads as a COM name, an index, a settings text).
    const std::string name = upper(portName);
    const bool nameReadsBack = name.rfind("COM", 0) == 0 && name.find(',') == std::string::npos;
    if (nameReadsBack && s.clser >= 0 && s.baudrate >= 0) {
        const auto start = app::startValuesOf(app::parseCommandLine(splitAtBlanks(parameters)));
        FUZZ_CHECK(start.comPortName == name);
        FUZZ_CHECK(start.clPortIndex == s.clser);
        FUZZ_CHECK(start.lineSettings == upper(settings));
        FUZZ_CHECK(start.autorun);
        FUZZ_CHECK(start.lowLatency == lowLatency);
    }
    return 0;
}
