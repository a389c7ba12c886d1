// The settings of a bridge process's one connection, and the line settings text
// ("9600,N,8,1") with its parser.
#pragma once

#include "line_rates.h"
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
    uint32_t dataBits = 8;       // 5 to 9
    int32_t stopBits = 0;        // 0 = 1, 1 = 1.5, 2 = 2 stop bits
    int32_t clBaudCode = 1;      // Camera Link baud-rate constant 1 ... 128
    uint32_t baudRate = 9600;    // COM-side bits per second
    int32_t parity = 0;          // 0 = none, 1 = odd, 2 = even
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

// Fills baudRate, clBaudCode, parity, dataBits and stopBits from an upper-case line
// settings text; a field that is not recognised takes its default.
void parseLineSettings(std::string_view text, ConnectionSettings& settings);

// "n", "o", "e" for parity 0, 1, 2 (and "n" for anything else).
const char* parityLetter(int32_t parity);
// "1", "1.5", "2" for stop-bit codes 0, 1, 2 (and "1" for anything else).
const char* stopBitsLabel(int32_t stopBits);

} // namespace clser
