// The bridge program's command line: "COM5 0 9600,n,8,1 Autorun" as the launcher
// writes it, with "LowLatency" after it when the connection asks for that mode and a
// network word ("NETWORK=RFC2217:127.0.0.1:4001") when it is served over TCP, and a
// record word ("Record=16:C:\Logs\com5.log") last when its traffic is recorded. Each
// argument is classified on its own; a later one overwrites an earlier.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace clser::app {

class CMyCommandLineInfo {
public:
    // Takes one argument as the platform split it. One leading "/" or "-" is dropped
    // before the word tests. An argument that is all digits as given sets the index, so
    // "-1" is no index (the drop would otherwise turn it into index 1).
    void parseParam(std::string_view argument);

    std::string comPortName;   // upper case, starts with "COM"
    int32_t clPortIndex = -1;  // Camera Link serial port index
    std::string lineSettings;  // upper case, contains ","
    int32_t autorun = 0;       // 1 when an argument starts with "AUTORUN"
    int32_t lowLatency = 0;    // 1 when an argument starts with "LOWLATENCY"
    std::string networkWord;   // upper case, starts with "NETWORK=" (not checked further here)
    // As given, so that the file name keeps its letter case: starts with "RECORD=" in any
    // case. Taken before every other test, so a path with a comma is no line settings.
    std::string recordWord;
};

// Every argument after the program name.
CMyCommandLineInfo parseCommandLine(const std::vector<std::string>& arguments);

// What the main dialog is constructed with.
struct StartValues {
    std::string comPortName;
    int32_t clPortIndex = -1;
    std::string lineSettings;
    bool autorun = false;
    bool lowLatency = false;
    std::string networkWord = {};  // empty: the connection uses its virtual pair
    std::string recordWord = {};   // empty: nothing is recorded

    bool operator==(const StartValues& o) const
    {
        return comPortName == o.comPortName && clPortIndex == o.clPortIndex && lineSettings == o.lineSettings &&
               autorun == o.autorun && lowLatency == o.lowLatency && networkWord == o.networkWord &&
               recordWord == o.recordWord;
    }
};

// Without a port name or without an index the dialog gets nothing at all: a settings
// text, the autorun word, the low-latency word, the network word or the record word
// without a usable port is dropped.
StartValues startValuesOf(const CMyCommandLineInfo& info);

} // namespace clser::app
