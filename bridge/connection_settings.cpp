#include "connection_settings.h"

#include "digit_text.h"

namespace clser {
namespace {

// The text before the first comma; the text up to and including that comma is then
// removed. Without a comma the whole text is the field and nothing is removed, so a
// text with too few commas repeats its last part for the following fields.
std::string_view takeField(std::string_view& rest)
{
    const auto comma = rest.find(',');
    if (comma == std::string_view::npos)
        return rest;
    std::string_view field = rest.substr(0, comma);
    rest.remove_prefix(comma + 1);
    return field;
}

} // namespace

void parseLineSettings(std::string_view text, ConnectionSettings& s)
{
    std::string_view rest = text;
    const std::string_view baud = takeField(rest);
    const std::string_view parity = takeField(rest);
    const std::string_view dataBits = takeField(rest);
    const std::string_view stopBits = rest;

    s.baudRate = 9600;
    s.clBaudCode = 1;
    for (const auto& r : kLineRates) {
        if (baud == r.text) {
            s.baudRate = r.rate;
            s.clBaudCode = r.clBaudCode;
        }
    }

    s.parity = parity == "O" ? 1 : parity == "E" ? 2 : 0;

    s.dataBits = 8;
    // At most two digits can spell 5 to 9 with leading zeros ("07"); longer texts are
    // out of range whatever they say, and are never converted into an overflow.
    if (isAllDigits(dataBits)) {
        std::string_view digits = dataBits;
        while (digits.size() > 1 && digits.front() == '0')
            digits.remove_prefix(1);
        if (digits.size() == 1 && digits[0] >= '5' && digits[0] <= '9')
            s.dataBits = static_cast<uint32_t>(digits[0] - '0');
    }

    s.stopBits = stopBits == "1.5" ? 1 : stopBits == "2" ? 2 : 0;
}

const char* parityLetter(int32_t parity)
{
    switch (parity) {
    case 1:
        return "o";
    case 2:
        return "e";
    default:
        return "n";
    }
}

const char* stopBitsLabel(int32_t stopBits)
{
    switch (stopBits) {
    case 1:
        return "1.5";
    case 2:
        return "2";
    default:
        return "1";
    }
}

} // namespace clser
