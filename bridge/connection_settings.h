// The settings of a bridge process's one connection: its profile and what the running
// bridge adds to it.
#pragma once

#include "connection_profile.h"
#include "line_rates.h"

#include <cstdint>
#include <string>

namespace clser {

struct ConnectionSettings : profile::ConnectionProfile {
    std::string bridgePortName;  // the TARVCOMn end the bridge opens; < 2 characters: not configured
    int32_t clBaudCode = 1;      // Camera Link baud-rate constant 1 ... 128
    bool echo = false;

    // The COM side's line and the camera's rate, the same as the line's.
    void setLine(const LineSettings& settings)
    {
        line = settings;
        clBaudCode = clBaudCodeForRate(settings.baudRate);
    }
};

// What a connect records: the user side, the Camera Link port, the line settings and
// the transfer mode.
std::string connectionRecordText(const ConnectionSettings& settings);

} // namespace clser
