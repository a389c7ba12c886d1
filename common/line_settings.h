// The line settings of a serial connection as one value (rate, parity, data bits, stop
// bits), with the text that carries them on a command line ("9600,n,8,1") and its parser.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace clser {

// The values are the serial driver's own (no, odd, even parity; 1, 1.5, 2 stop bits).
enum class Parity : int32_t { none = 0, odd = 1, even = 2 };
enum class StopBits : int32_t { one = 0, onePointFive = 1, two = 2 };

struct LineSettings {
    uint32_t baudRate = 9600; // bits per second
    Parity parity = Parity::none;
    uint32_t dataBits = 8; // 5 to 9
    StopBits stopBits = StopBits::one;

    bool operator==(const LineSettings& o) const
    {
        return baudRate == o.baudRate && parity == o.parity && dataBits == o.dataBits && stopBits == o.stopBits;
    }
    bool operator!=(const LineSettings& o) const { return !(*this == o); }
};

// Reads an upper-case line settings text ("9600,N,8,1"); a field that is not recognised
// takes its default, and a rate that is not one of the Camera Link rates is 9600.
LineSettings parseLineSettings(std::string_view text);
// "9600,n,8,1": rate, parity letter, data bits, stop bits, as the configuration file
// keeps them; upper-cased, it reads back as the same value.
std::string lineSettingsText(const LineSettings& line);

// "n", "o", "e" (and "n" for a value that is none).
const char* parityLetter(Parity parity);
// "1", "1.5", "2" (and "1" for a value that is none).
const char* stopBitsLabel(StopBits stopBits);

} // namespace clser
