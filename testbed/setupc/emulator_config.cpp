#include "emulator_config.h"

#include <cctype>

namespace clser::setupc {
namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool parseNumber(std::string_view text, unsigned long long limit, unsigned long long* out)
{
    if (text.empty() || text.size() > 10)
        return false;
    unsigned long long v = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > limit)
        return false;
    *out = v;
    return true;
}

// Applies one key; returns what is wrong with it, or empty.
std::string apply(EmulatorConfig& config, std::string_view key, std::string_view value)
{
    unsigned long long n = 0;
    if (key == "install_hang_ms" || key == "list_hang_ms") {
        if (!parseNumber(value, 0xffffffffull, &n))
            return "a number of milliseconds expected";
        (key == "install_hang_ms" ? config.installHangMs : config.listHangMs) = static_cast<unsigned>(n);
    } else if (key == "list") {
        if (value == "normal")
            config.list = ListMode::Normal;
        else if (value == "malformed")
            config.list = ListMode::Malformed;
        else if (value == "empty_first_line")
            config.list = ListMode::EmptyFirstLine;
        else
            return "list is normal, malformed or empty_first_line";
    } else if (key == "list_text") {
        config.listTextFile = std::string(value);
    } else if (key == "list_params") {
        config.listParams = std::string(value);
    } else if (key == "ends") {
        if (value == "now") {
            config.ends = EndsMode::Now;
        } else if (value == "never") {
            config.ends = EndsMode::Never;
        } else if (value.rfind("after", 0) == 0 && parseNumber(trim(value.substr(5)), 0xffffffffull, &n)) {
            config.ends = EndsMode::After;
            config.endsDelayMs = static_cast<unsigned>(n);
        } else {
            return "ends is now, never or after <ms>";
        }
    } else if (key == "first_pair") {
        if (!parseNumber(value, 0x7fffffffull, &n))
            return "a pair number expected";
        config.firstPair = static_cast<int>(n);
    } else if (key == "log") {
        config.logFile = std::string(value);
    } else {
        return "unknown key " + std::string(key);
    }
    return {};
}

} // namespace

EmulatorConfigParse parseEmulatorConfig(std::string_view text)
{
    EmulatorConfigParse result;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        ++lineNumber;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        line = trim(line);
        if (line.empty())
            continue;
        const std::size_t eq = line.find('=');
        std::string complaint = eq == std::string_view::npos
                                    ? "key = value expected"
                                    : apply(result.config, trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
        if (!complaint.empty())
            result.errors.push_back("line " + std::to_string(lineNumber) + ": " + complaint);
    }
    return result;
}

} // namespace clser::setupc
