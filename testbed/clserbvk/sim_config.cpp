#include "sim_config.h"

#include <charconv>
#include <set>

namespace clser::sim {

namespace {

constexpr std::string_view kDefaultConfig =
    "# Simulated camera: two ports, each with a small camera behind it.\n"
    "ports = 2\n"
    "terminator = \\r\n"
    "ignore = \\n\n"
    "unknown = ERR\\r\\n\n"
    "ok = OK\\r\\n\n"
    "reply_end = \\r\\n\n"
    "cmd help? = id? ver? sn? exp <us> exp? gain <db> gain? dump [bytes]\\r\\n\n"
    "cmd id? = SIMCAM-CL simulated camera\\r\\n\n"
    "cmd ver? = 1.0.0\\r\\n\n"
    "param exp = 1000\n"
    "param gain = 0\n"
    "dump dump = 256\n"
    "[port0]\n"
    "cmd sn? = SIM-0000\\r\\n\n"
    "[port1]\n"
    "cmd sn? = SIM-0001\\r\\n\n";

std::string_view trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

template <typename T>
bool parseNumber(std::string_view s, T* out)
{
    if (s.empty())
        return false;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool parseBool(std::string_view s, bool* out)
{
    static const std::pair<std::string_view, bool> words[] = {
        {"yes", true}, {"on", true}, {"true", true}, {"1", true},
        {"no", false}, {"off", false}, {"false", false}, {"0", false},
    };
    for (const auto& [word, value] : words)
        if (s == word) {
            *out = value;
            return true;
        }
    return false;
}

// "1,16,115200": constants or the rates they stand for; an empty list accepts none.
bool parseBaudRates(std::string_view s, uint32_t* mask)
{
    *mask = 0;
    while (!trim(s).empty()) {
        size_t comma = s.find(',');
        std::string_view item = trim(s.substr(0, comma));
        s = comma == std::string_view::npos ? std::string_view() : s.substr(comma + 1);
        uint32_t n = 0;
        if (!parseNumber(item, &n))
            return false;
        uint32_t constant = 0;
        for (uint32_t c = 1; c <= 128; c <<= 1)
            if (n == c || n == bitsPerSecondOfBaudConstant(c))
                constant = c;
        if (constant == 0)
            return false;
        *mask |= constant;
    }
    return true;
}

bool isPlainName(std::string_view name)
{
    if (name.empty())
        return false;
    for (char c : name)
        if (c == ' ' || c == '\t' || static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}

// Applies one "key = value" line to a port; returns the complaint, empty when accepted.
std::string applyPortKey(PortConfig& port, std::string_view key, std::string_view raw)
{
    std::string text;
    const auto escaped = [&]() { return unescapeConfigText(raw, &text); };
    const auto number = [&](uint32_t* out) { return parseNumber(raw, out); };
    const auto negative = [&](int32_t* out) { return parseNumber(raw, out) && *out < 0; };

    // Table lines: "cmd <command> = <answer>", "param <name> = <initial>", "dump <name> = <bytes>".
    size_t space = key.find_first_of(" \t");
    if (space != std::string_view::npos) {
        std::string_view kind = key.substr(0, space);
        std::string_view name = trim(key.substr(space));
        if (kind == "cmd") {
            std::string command;
            if (!unescapeConfigText(name, &command) || command.empty())
                return "bad command text";
            if (!escaped())
                return "bad escape in answer";
            port.commands[command] = text;
            return {};
        }
        if (kind == "param") {
            if (!isPlainName(name))
                return "value name must be one word";
            if (!isPlainName(raw))
                return "initial value must be one word";
            port.params[std::string(name)] = std::string(raw);
            return {};
        }
        if (kind == "dump") {
            uint32_t bytes = 0;
            if (!isPlainName(name))
                return "dump name must be one word";
            if (!number(&bytes) || bytes > kMaxDumpBytes)
                return "dump size must be 0 to " + std::to_string(kMaxDumpBytes);
            port.dumps[std::string(name)] = bytes;
            return {};
        }
        return "unknown key '" + std::string(key) + "'";
    }

    bool ok = false;
    if (key == "terminator")
        ok = escaped() && !text.empty() && (port.terminator = text, true);
    else if (key == "ignore")
        ok = escaped() && (port.ignore = text, true);
    else if (key == "unknown")
        ok = escaped() && (port.unknownAnswer = text, true);
    else if (key == "ok")
        ok = escaped() && (port.okAnswer = text, true);
    else if (key == "reply_end")
        ok = escaped() && (port.replyEnd = text, true);
    else if (key == "receive_log")
        ok = (port.receiveLog = std::string(raw), true);
    else if (key == "overflow_log")
        ok = (port.overflowLog = std::string(raw), true);
    else if (key == "overlap_log")
        ok = (port.overlapLog = std::string(raw), true);
    else if (key == "rate_log")
        ok = (port.rateLog = std::string(raw), true);
    else if (key == "receive_buffer")
        ok = number(&port.receiveBuffer);
    else if (key == "echo")
        ok = parseBool(raw, &port.echo);
    else if (key == "pace")
        ok = parseBool(raw, &port.pace);
    else if (key == "pause_every")
        ok = number(&port.pauseEvery);
    else if (key == "pause_ms")
        ok = number(&port.pauseMs);
    else if (key == "tick_timeouts")
        ok = parseBool(raw, &port.tickTimeouts);
    else if (key == "strict")
        ok = parseBool(raw, &port.strict);
    else if (key == "exclusive")
        ok = parseBool(raw, &port.exclusive);
    else if (key == "in_use")
        ok = parseBool(raw, &port.faults.portInUse);
    else if (key == "delay")
        ok = number(&port.answerDelayMs);
    else if (key == "baud_rates")
        ok = parseBaudRates(raw, &port.baudRates);
    else if (key == "short_write_every")
        ok = number(&port.faults.shortWriteEvery);
    else if (key == "short_write_bytes")
        ok = number(&port.faults.shortWriteBytes);
    else if (key == "read_error_every")
        ok = number(&port.faults.readErrorEvery);
    else if (key == "read_error_code")
        ok = negative(&port.faults.readErrorCode);
    else if (key == "write_error_every")
        ok = number(&port.faults.writeErrorEvery);
    else if (key == "write_error_code")
        ok = negative(&port.faults.writeErrorCode);
    else
        return "unknown key '" + std::string(key) + "'";
    return ok ? std::string() : "bad value for '" + std::string(key) + "'";
}

} // namespace

bool unescapeConfigText(std::string_view text, std::string* out)
{
    out->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\') {
            out->push_back(c);
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case 'r': out->push_back('\r'); break;
        case 'n': out->push_back('\n'); break;
        case 't': out->push_back('\t'); break;
        case '\\': out->push_back('\\'); break;
        case 'x': {
            unsigned value = 0;
            if (i + 2 >= text.size())
                return false;
            auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
            if (ec != std::errc() || end != text.data() + i + 3)
                return false;
            out->push_back(static_cast<char>(value));
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

uint32_t bitsPerSecondOfBaudConstant(uint32_t constant)
{
    switch (constant) {
    case 1: return 9600;
    case 2: return 19200;
    case 4: return 38400;
    case 8: return 57600;
    case 16: return 115200;
    case 32: return 230400;
    case 64: return 460800;
    case 128: return 921600;
    default: return 0;
    }
}

ConfigParseResult parseSimConfig(std::string_view text)
{
    ConfigParseResult result;
    PortConfig common;                    // keys before the first section apply to every port
    std::map<uint32_t, PortConfig> sections;
    PortConfig* current = &common;
    bool portsGiven = false;
    uint32_t ports = 0;

    size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = trim(line);
        if (line.empty() || line.front() == '#' || line.front() == ';')
            continue;

        const auto complain = [&](const std::string& what) {
            result.errors.push_back("line " + std::to_string(lineNumber) + ": " + what);
        };

        if (line.front() == '[') {
            uint32_t index = 0;
            if (line.size() < 7 || line.substr(0, 5) != "[port" || line.back() != ']'
                || !parseNumber(line.substr(5, line.size() - 6), &index) || index >= kMaxPorts) {
                complain("expected a section [port0] ... [port" + std::to_string(kMaxPorts - 1) + "]");
                current = nullptr;   // the lines of a bad section are not applied anywhere
                continue;
            }
            if (sections.count(index)) {
                complain("section [port" + std::to_string(index) + "] appears twice");
                current = nullptr;
                continue;
            }
            current = &sections.emplace(index, common).first->second;
            continue;
        }

        size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            complain("expected 'key = value'");
            continue;
        }
        std::string_view key = trim(line.substr(0, eq));
        std::string_view value = trim(line.substr(eq + 1));
        if (key == "ports") {
            // A refused count must not replace one accepted before it: the table is
            // allocated with the count even when the text is refused.
            uint32_t count = 0;
            if (current != &common)
                complain("'ports' belongs before the first section");
            else if (!parseNumber(value, &count) || count > kMaxPorts)
                complain("port count must be 0 to " + std::to_string(kMaxPorts));
            else {
                ports = count;
                portsGiven = true;
            }
            continue;
        }
        if (!current)
            continue;
        std::string complaint = applyPortKey(*current, key, value);
        if (!complaint.empty())
            complain(complaint);
    }

    if (!portsGiven)
        ports = sections.empty() ? 1 : sections.rbegin()->first + 1;
    for (const auto& [index, port] : sections)
        if (index >= ports)
            result.errors.push_back("section [port" + std::to_string(index) + "] is beyond the port count "
                                    + std::to_string(ports));

    result.config.ports.assign(ports, common);
    for (auto& [index, port] : sections)
        if (index < ports)
            result.config.ports[index] = std::move(port);
    return result;
}

std::string_view defaultConfigText()
{
    return kDefaultConfig;
}

SimConfig defaultSimConfig()
{
    return parseSimConfig(kDefaultConfig).config;
}

} // namespace clser::sim
