#include "sdk_board_config.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace clser::testbed {
namespace {

constexpr const char* kConfigVariable = "CLSER_SDK_CONFIG";

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool parseInt(std::string_view text, int& value)
{
    std::string s(text);
    if (s.empty())
        return false;
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0')
        return false;
    value = static_cast<int>(v);
    return true;
}

SdkBoardConfig invalid(std::string error)
{
    SdkBoardConfig config;
    config.valid = false;
    config.error = std::move(error);
    return config;
}

// "board<index>.<field>": the index and the field, or false.
bool splitBoardKey(std::string_view key, int& index, std::string_view& field)
{
    if (key.substr(0, 5) != "board")
        return false;
    const std::size_t dot = key.find('.');
    if (dot == std::string_view::npos || !parseInt(key.substr(5, dot - 5), index) || index < 0)
        return false;
    field = key.substr(dot + 1);
    return true;
}

SdkBoardConfig defaultConfig()
{
    SdkBoardConfig config;
    config.boardCountText = "1";
    config.maxDevices = 1;
    config.boards[0] = SimBoard{std::string("SimBoard"), 2, 0};
    return config;
}

std::string environmentValue(const char* name)
{
    char value[4096];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return (length == 0 || length >= sizeof value) ? std::string() : std::string(value, length);
}

} // namespace

SdkBoardConfig parseSdkBoardConfig(std::string_view text)
{
    SdkBoardConfig config;
    std::optional<std::string> boardCountText;
    std::optional<int> maxDevices;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            return invalid(where + "no '='");
        const std::string_view key = trim(line.substr(0, eq));
        const std::string_view value = trim(line.substr(eq + 1));
        int number = 0;
        int index = 0;
        std::string_view field;
        if (key == "boardcount") {
            boardCountText = std::string(value);
        } else if (key == "sysinfo" || key == "maxdevices") {
            if (!parseInt(value, number))
                return invalid(where + "not a number");
            if (key == "sysinfo")
                config.systemInfoResult = number;
            else
                maxDevices = number;
        } else if (splitBoardKey(key, index, field)) {
            SimBoard& board = config.boards[index];
            if (field == "name") {
                board.name = std::string(value);
            } else if (field == "serial" || field == "cl") {
                if (!parseInt(value, number))
                    return invalid(where + "not a number");
                if (field == "serial")
                    board.serialPorts = number;
                else
                    board.cameraLinkPorts = number;
            } else {
                return invalid(where + "unknown board key");
            }
        } else {
            return invalid(where + "unknown key");
        }
    }
    config.boardCountText = boardCountText ? *boardCountText : std::to_string(config.boards.size());
    config.maxDevices = maxDevices ? *maxDevices : (config.boards.empty() ? 0 : config.boards.rbegin()->first + 1);
    return config;
}

SdkBoardConfig currentSdkBoardConfig()
{
    const std::string path = environmentValue(kConfigVariable);
    if (path.empty())
        return defaultConfig();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return invalid("cannot read " + path);
    std::ostringstream text;
    text << file.rdbuf();
    SdkBoardConfig config = parseSdkBoardConfig(text.str());
    if (!config.valid)
        config.error = path + ": " + config.error;
    return config;
}

} // namespace clser::testbed
