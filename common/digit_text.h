// The digit tests and decimal values that port numbers, pair identifiers and
// configuration values share.
#pragma once

#include <cctype>
#include <climits>
#include <optional>
#include <string_view>

namespace clser {

// True when the text is not empty and holds decimal digits only.
inline bool isAllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// The run of decimal digits the text begins with; empty when it begins with none.
inline std::string_view leadingDigits(std::string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
        ++end;
    return text.substr(0, end);
}

// The value of a text that is all digits and fits an int; none for any other text.
inline std::optional<int> decimalValue(std::string_view text)
{
    if (!isAllDigits(text))
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return std::nullopt;
    }
    return static_cast<int>(value);
}

// The value of a digits-only text; INT_MAX when the value is larger, 0 for an empty text.
inline int saturatedDecimalValue(std::string_view digits)
{
    return digits.empty() ? 0 : decimalValue(digits).value_or(INT_MAX);
}

// The number a text begins with, read as the C library's atoi reads it: blanks skipped,
// an optional sign, then the digits; 0 when no digit follows. A magnitude beyond the int
// range stays at INT_MAX.
inline int leadingSignedDecimalValue(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    const int magnitude = saturatedDecimalValue(leadingDigits(text));
    return negative ? -magnitude : magnitude;
}

} // namespace clser
