// The line rates of the Camera Link serial API: each rate's text, its bits per second and
// its baud-rate constant (1, 2, 4, ... 128 for 9600 ... 921600). One table for the bridge,
// its dialogs and its network clients.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace clser {

// A line rate the bridge offers: its text (in line settings texts and the baud boxes),
// its bits per second and its Camera Link baud-rate constant.
struct LineRate {
    std::string_view text;
    uint32_t rate;
    int32_t clBaudCode;
};

// 9600 ... 921600, slowest first.
inline constexpr std::array<LineRate, 8> kLineRates{{
    {"9600", 9600, 1},
    {"19200", 19200, 2},
    {"38400", 38400, 4},
    {"57600", 57600, 8},
    {"115200", 115200, 16},
    {"230400", 230400, 32},
    {"460800", 460800, 64},
    {"921600", 921600, 128},
}};

// The Camera Link baud-rate constant of a line rate, 0 when the rate has none.
constexpr int32_t clBaudCodeForRate(uint32_t rate)
{
    for (const LineRate& r : kLineRates)
        if (r.rate == rate)
            return r.clBaudCode;
    return 0;
}

// The line rate a Camera Link baud-rate constant stands for, 0 when it is none.
constexpr uint32_t rateOfClBaudCode(int32_t clBaudCode)
{
    for (const LineRate& r : kLineRates)
        if (r.clBaudCode == clBaudCode)
            return r.rate;
    return 0;
}

// The same, 9600 when it is none (a connection's rate when its code is unknown).
constexpr uint32_t baudRateForClBaudCode(int32_t clBaudCode)
{
    const uint32_t rate = rateOfClBaudCode(clBaudCode);
    return rate != 0 ? rate : 9600;
}

} // namespace clser
