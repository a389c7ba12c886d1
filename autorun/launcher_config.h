// The launcher's view of the configuration file: the keys of a connection section
// with the launcher's defaults, and the texts it makes of them.
#pragma once

#include "traffic_record_settings.h"

#include <string>
#include <string_view>

namespace clser::autorun {

struct LauncherSection {
    std::string com;             // empty when absent
    int clser = 0;
    int baudrate = 9600;
    std::string parity = "n";
    int databit = 8;
    std::string stopbit = "1";
    int run = 1;
    int connect = 1;
    std::string lowlatency;      // empty when absent
};

// What a "lowlatency" value asks for: only "1" turns the mode on; an empty value and "0"
// keep the default mode, and so does any other text, which the launcher reports.
enum class LowLatencyValue { Off, On, Unrecognised };
LowLatencyValue lowLatencyOf(std::string_view value);

// Reads section connection<number> (text values at most 7 characters).
LauncherSection readSection(const std::string& configPath, int number);
// The record keys of section connection<number>, in a buffer of their own (a path is
// longer than the common reader's 7 characters).
RecordSectionValues readRecordValues(const std::string& configPath, int number);
// The "com" value of section connection<number>, empty when absent.
std::string readComValue(const std::string& configPath, int number);

// Writes the section of a first run: com = the pair's COM-side name, clser = index,
// and the default line settings, run and connect, in this order.
void writeFirstRunSection(const std::string& configPath, int number, const std::string& comPortName, int clIndex);

// "COM" followed by the text when it is digits only, else the text unchanged.
std::string comPortNameOf(std::string_view comValue);
// The bridge end of the pair (partnerName) of the COM port name in upper case.
std::string bridgeSearchKey(std::string_view comPortName);
// "%d,%s,%d,%s": baud rate, parity, data bits, stop bits.
std::string lineSettingsText(const LauncherSection& section);
// "%s %d %s %s": COM port name, Camera Link port index, line settings, "Autorun"; with
// lowLatency one more word, " LowLatency", follows, then a network word (a network
// connection's settings, as network::networkWord makes it), and last the record word
// (recordWord), in quotes, so that a path with blanks stays one argument.
std::string bridgeParameters(const std::string& comPortName, int clIndex, const std::string& lineSettings,
                             bool lowLatency = false, const std::string& networkWord = {},
                             const std::string& recordWord = {});
// The text in double quotes as the C runtime splits a command line: backslashes before
// the closing quote are doubled, so that it reads back as the text itself.
std::string quotedArgument(std::string_view text);

// A value that would split into several arguments on the bridge's command line (a
// blank, a tab or a quote in it) cannot be passed; returns the offending key, or
// nullptr when the section can be passed.
const char* unpassableValue(const LauncherSection& section);

} // namespace clser::autorun
