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

// What a connect records: the user side, the Camera Link port (with its library when it
// is another maker's), the line settings and the transfer mode.
std::string connectionRecordText(const ConnectionSettings& settings);

// The Camera Link port as a line names it: "<maker> port <index>" for another maker's
// library (maker: its manufacturer's name, else its file name), "Camera Link port
// <index>" for this system's own.
std::string cameraLinkPortText(const std::string& clLibrary, const std::string& maker, int32_t index);

// A rate the port's list leaves out, refused at connect: "<port> does not run at 57600
// baud; the rates it has: 9600, 19200, ...".
std::string refusedRateLine(const std::string& portText, uint32_t bitsPerSecond, uint32_t rateMask);

} // namespace clser
