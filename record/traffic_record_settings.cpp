#include "traffic_record_settings.h"

#include "config_value_text.h"
#include "letter_case.h"

#include <cctype>

namespace clser {
namespace {

constexpr std::string_view kWordPrefix = "RECORD=";

std::string_view trimmed(std::string_view text) { return trimmedValue(text); }

std::string shown(std::string_view value) { return quotedValue(value, 60); }

bool isSlash(char c) { return c == '\\' || c == '/'; }

TrafficRecordParse failed(std::string error)
{
    TrafficRecordParse result;
    result.error = std::move(error);
    return result;
}

// The path part of a value or word: a quote cannot be passed on a command line and is
// never part of a Windows file name.
std::string pathError(const char* what, std::string_view path)
{
    if (path.empty())
        return std::string(what) + ": no file name";
    if (path.find('"') != std::string_view::npos)
        return std::string(what) + ": " + shown(path) + " contains a quote";
    return {};
}

} // namespace

std::optional<uint32_t> parseRecordMib(std::string_view text)
{
    return boundedDecimal(text, 4, 1, kMaxRecordMib);
}

bool isAbsoluteWindowsPath(std::string_view path)
{
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && isSlash(path[2]))
        return true;
    return path.size() >= 2 && isSlash(path[0]) && isSlash(path[1]);
}

std::string resolveRecordPath(std::string_view path, std::string_view programDirectory)
{
    if (isAbsoluteWindowsPath(path))
        return std::string(path);
    while (!path.empty() && isSlash(path.front()))
        path.remove_prefix(1);
    return std::string(programDirectory) + "\\" + std::string(path);
}

bool namesDevice(std::string_view path)
{
    if (path.size() >= 4 && isSlash(path[0]) && isSlash(path[1]) && (path[2] == '.' || path[2] == '?') &&
        isSlash(path[3]))
        return true;
    std::size_t start = path.find_last_of("\\/:");
    std::string_view name = start == std::string_view::npos ? path : path.substr(start + 1);
    // The system ignores an extension and trailing blanks after a device name.
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    const std::string upper = upperCase(name);
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" ||
        upper == "CONOUT$")
        return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

TrafficRecordParse parseRecordSection(const RecordSectionValues& values, std::string_view programDirectory)
{
    if (values.tooLong)
        return failed(std::string(kRecordfile) + ": the value is too long");
    const std::string_view file = trimmed(values.recordfile);
    const std::string_view mib = trimmed(values.recordmib);
    if (file.empty()) {
        if (mib.empty())
            return {};
        return failed(std::string(kRecordmib) + ": given without " + kRecordfile);
    }
    std::string error = pathError(kRecordfile, file);
    if (!error.empty())
        return failed(std::move(error));

    TrafficRecordParse result;
    result.configured = true;
    result.settings.path = resolveRecordPath(file, programDirectory);
    if (!mib.empty()) {
        if (const auto limit = parseRecordMib(mib))
            result.settings.limitMib = *limit;
        else
            result.error = std::string(kRecordmib) + ": " + shown(mib) + " is not a size in MiB (1 to " +
                           std::to_string(kMaxRecordMib) + "), " + std::to_string(kDefaultRecordMib) +
                           " is used";
    }
    return result;
}

std::string recordWord(const TrafficRecordSettings& settings)
{
    return "Record=" + std::to_string(settings.limitMib) + ":" + settings.path;
}

bool isRecordWord(std::string_view argument) { return startsWithIgnoringCase(argument, kWordPrefix); }

TrafficRecordParse parseRecordWord(std::string_view argument, std::string_view programDirectory)
{
    if (!isRecordWord(argument))
        return failed("not a record word: " + shown(argument));
    const std::string_view rest = argument.substr(kWordPrefix.size());
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos)
        return failed("record word: size and file expected in " + shown(argument));
    const auto limit = parseRecordMib(rest.substr(0, colon));
    if (!limit)
        return failed("record word: " + shown(rest.substr(0, colon)) + " is not a size in MiB (1 to " +
                      std::to_string(kMaxRecordMib) + ")");
    const std::string_view path = rest.substr(colon + 1);
    std::string error = pathError("record word", path);
    if (!error.empty())
        return failed(std::move(error));
    TrafficRecordParse result;
    result.configured = true;
    result.settings.limitMib = *limit;
    result.settings.path = resolveRecordPath(path, programDirectory);
    return result;
}

} // namespace clser
