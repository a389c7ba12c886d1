// How configuration values and command-line words are read and named in messages: blanks
// around a value do not count, and a value quoted in an error stays one short line.
#pragma once

#include <cctype>
#include <cstddef>
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

} // namespace clser
