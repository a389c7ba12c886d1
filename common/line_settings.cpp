#include "line_settings.h"

#include "digit_text.h"
#include "line_rates.h"

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

LineSettings parseLineSettings(std::string_view text)
{
    std::string_view rest = text;
    const std::string_view baud = takeField(rest);
    const std::string_view parity = takeField(rest);
    const std::string_view dataBits = takeField(rest);
    const std::string_view stopBits = rest;

    LineSettings line;
    for (const auto& r : kLineRates) {
        if (baud == r.text)
            line.baudRate = r.rate;
    }

    line.parity = parity == "O" ? Parity::odd : parity == "E" ? Parity::even : Parity::none;

    // At most two digits can spell 5 to 9 with leading zeros ("07"); longer texts are
    // out of range whatever they say, and are never converted into an overflow.
    if (isAllDigits(dataBits)) {
        std::string_view digits = dataBits;
        while (digits.size() > 1 && digits.front() == '0')
            digits.remove_prefix(1);
        if (digits.size() == 1 && digits[0] >= '5' && digits[0] <= '9')
            line.dataBits = static_cast<uint32_t>(digits[0] - '0');
    }

    line.stopBits = stopBits == "1.5" ? StopBits::onePointFive : stopBits == "2" ? StopBits::two : StopBits::one;
    return line;
}

std::string lineSettingsText(const LineSettings& line)
{
    return std::to_string(line.baudRate) + "," + parityLetter(line.parity) + "," + std::to_string(line.dataBits) +
           "," + stopBitsLabel(line.stopBits);
}

const char* parityLetter(Parity parity)
{
    switch (parity) {
    case Parity::odd:
        return "o";
    case Parity::even:
        return "e";
    default:
        return "n";
    }
}

const char* stopBitsLabel(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::onePointFive:
        return "1.5";
    case StopBits::two:
        return "2";
    default:
        return "1";
    }
}

} // namespace clser
