// The settings of a bridge process's one connection.
#pragma once

#include "line_rates.h"
#include "line_settings.h"
#include "network_settings.h"
#include "traffic_record_settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace clser {

struct ConnectionSettings {
    std::string bridgePortName;  // the TARVCOMn end the bridge opens; < 2 characters: not configured
    std::string userPortName;    // the COMn end the user's software opens
    int32_t clPortIndex = -1;    // Camera Link serial port index, -1 = none
    int32_t clBaudCode = 1;      // Camera Link baud-rate constant 1 ... 128
    LineSettings line;           // the COM side's line
    bool echo = false;
    // Opt-in: the transfer loop hands bytes on as soon as they arrive instead of
    // waiting out its read time-outs. Off by default.
    bool lowLatency = false;
    // Opt-in: the user's side is a TCP client served on this endpoint instead of the
    // virtual pair, whose bridge end is then not opened. Absent: the pair.
    std::optional<network::NetworkSettings> network;
    // Opt-in: every block moved and every event of the connection is written to this
    // file. Absent: nothing is recorded.
    std::optional<TrafficRecordSettings> record;
};

// Takes the line and the camera's rate (the same as the line's) from an upper-case line
// settings text; a field that is not recognised takes its default.
void parseLineSettings(std::string_view text, ConnectionSettings& settings);

} // namespace clser
