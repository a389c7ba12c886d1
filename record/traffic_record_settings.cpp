#include "traffic_record_settings.h"

#include "config_value_text.h"
#include "letter_case.h"

#include <cctype>
#include <vector>

namespace clser {
namespace {

constexpr std::string_view kWordPrefix = "RECORD=";

std::string shown(std::string_view value) { return shownRecordValue(value); }

bool isSlash(char c) { return c == '\\' || c == '/'; }

TrafficRecordParse failed(std::string error)
{
    TrafficRecordParse result;
    result.error = std::move(error);
    return result;
}

} // namespace

std::string shownRecordValue(std::string_view value) { return quotedValue(value, 60); }

// The path part of a value or word: a quote cannot be passed on a command line and is
// never part of a Windows file name.
std::string recordPathError(const char* what, std::string_view path)
{
    if (path.empty())
        return std::string(what) + ": no file name";
    if (path.find('"') != std::string_view::npos)
        return std::string(what) + ": " + shown(path) + " contains a quote";
    return {};
}

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

namespace {

// A name without the trailing dots and blanks the system drops from it.
std::string_view withoutTrailingDots(std::string_view name)
{
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.remove_suffix(1);
    return name;
}

bool isDrivePath(std::string_view path)
{
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && isSlash(path[2]);
}

} // namespace

bool namesDevice(std::string_view path)
{
    if (path.size() >= 4 && isSlash(path[0]) && isSlash(path[1]) && (path[2] == '.' || path[2] == '?') &&
        isSlash(path[3]))
        return true;
    // A colon other than a drive's names a device ("COM5:") or a stream of a file (also
    // "C:x.log", a stream of the drive's current folder).
    if (path.find(':', isDrivePath(path) ? 2 : 0) != std::string_view::npos)
        return true;
    // Pipes and mailslots of any host are reached as the shares "pipe" and "mailslot".
    if (path.size() >= 2 && isSlash(path[0]) && isSlash(path[1])) {
        const std::size_t hostEnd = path.find_first_of("\\/", 2);
        if (hostEnd != std::string_view::npos) {
            const std::string_view rest = path.substr(hostEnd + 1);
            const std::string share = upperCase(withoutTrailingDots(rest.substr(0, rest.find_first_of("\\/"))));
            if (share == "PIPE" || share == "MAILSLOT")
                return true;
        }
    }
    std::size_t start = path.find_last_of("\\/");
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

std::string recordFileKey(std::string_view path)
{
    std::vector<std::string> parts;
    // "C:\" or "\\" (whose host and share ".." never climbs above either).
    std::string root;
    std::size_t at = 0;
    if (isDrivePath(path)) {
        root = upperCase(path.substr(0, 2)) + "\\";
        at = 3;
    } else if (path.size() >= 2 && isSlash(path[0]) && isSlash(path[1])) {
        root = "\\\\";
        at = 2;
    }
    while (at <= path.size()) {
        std::size_t end = path.find_first_of("\\/", at);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(at, end - at);
        at = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            // The host and share of a network path stay.
            if (parts.size() > (root.size() == 2 ? 2u : 0u))
                parts.pop_back();
            continue;
        }
        // The system drops a folder's one trailing dot, and the dots and blanks ending
        // the file's name.
        std::string_view kept = part;
        if (end == path.size())
            kept = withoutTrailingDots(kept);
        else if (kept.back() == '.')
            kept.remove_suffix(1);
        parts.push_back(upperCase(kept));
    }
    std::string key = root;
    for (std::size_t i = 0; i < parts.size(); ++i)
        key += (i == 0 ? "" : "\\") + parts[i];
    return key;
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
    std::string error = recordPathError("record word", path);
    if (!error.empty())
        return failed(std::move(error));
    TrafficRecordParse result;
    result.configured = true;
    result.settings.limitMib = *limit;
    result.settings.path = resolveRecordPath(path, programDirectory);
    return result;
}

} // namespace clser
