// How configuration values and command-line words are read and named in messages: blanks
// around a value do not count, and a value quoted in an error stays one short line.
#pragma once

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace clser {

inline std::string_view trimmedValue(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// The value in double quotes, unprintable characters as '?', cut after maxChars with "...".
inline std::string quotedValue(std::string_view value, std::size_t maxChars)
{
    std::string text = "\"";
    for (char c : value.substr(0, maxChars))
        text += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    return text + (value.size() > maxChars ? "...\"" : "\"");
}

// A number of decimal digits only (at most maxDigits of them, leading zeros counting) from
// low to high; nothing else.
inline std::optional<uint32_t> boundedDecimal(std::string_view text, std::size_t maxDigits, uint32_t low,
                                              uint32_t high)
{
    if (text.empty() || text.size() > maxDigits || maxDigits > 9)
        return std::nullopt;
    uint32_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace clser
