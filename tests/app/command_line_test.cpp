#include "command_line_info.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using clser::app::parseCommandLine;
using clser::app::StartValues;
using clser::app::startValuesOf;

namespace {

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string comPortName;
    int clPortIndex;
    std::string lineSettings;
    int autorun;
    StartValues start;
    int lowLatency = 0;
    std::string networkWord = {};
    std::string recordWord = {};
};

const CommandLineCase kCases[] = {
    {"launcher's command line", {"COM5", "0", "9600,n,8,1", "Autorun"}, "COM5", 0, "9600,N,8,1", 1,
     {"COM5", 0, "9600,N,8,1", true}},
    {"lower-case port and an index", {"com7", "2"}, "COM7", 2, "", 0, {"COM7", 2, "", false}},
    {"port alone is dropped", {"COM5"}, "COM5", -1, "", 0, {}},
    {"index alone is dropped", {"3"}, "", 3, "", 0, {}},
    {"autorun word alone is dropped", {"-autorun"}, "", -1, "", 1, {}},
    {"settings without index are dropped", {"COM5", "9600,N,8,1", "AUTORUN"}, "COM5", -1, "9600,N,8,1", 1, {}},
    {"slash dropped before the word", {"/AUTORUN", "COM3", "1"}, "COM3", 1, "", 1, {"COM3", 1, "", true}},
    {"dash dropped before the port", {"-com4", "0"}, "COM4", 0, "", 0, {"COM4", 0, "", false}},
    {"port with a comma is also the settings", {"COM5,9600"}, "COM5,9600", -1, "COM5,9600", 0, {}},
    {"negative number is no index", {"COM5", "-1"}, "COM5", -1, "", 0, {}},
    {"hexadecimal is no index", {"COM5", "0x5"}, "COM5", -1, "", 0, {}},
    {"later arguments overwrite earlier ones", {"COM5", "1", "COM6", "2"}, "COM6", 2, "", 0, {"COM6", 2, "", false}},
    {"a word beginning with AUTORUN counts", {"COM1", "0", "autorunning"}, "COM1", 0, "", 1, {"COM1", 0, "", true}},
    {"name not beginning with COM is ignored", {"PORT5", "0"}, "", 0, "", 0, {}},
    {"order of the arguments is free", {"Autorun", "115200,e,7,2", "1", "COM9"}, "COM9", 1, "115200,E,7,2", 1,
     {"COM9", 1, "115200,E,7,2", true}},
    {"empty argument sets nothing", {""}, "", -1, "", 0, {}},
    {"index too large for 32 bits stays largest", {"COM5", "99999999999"}, "COM5", INT_MAX, "", 0,
     {"COM5", INT_MAX, "", false}},
    {"launcher's line asking for low latency", {"COM10", "0", "9600,N,8,1", "Autorun", "LowLatency"}, "COM10", 0,
     "9600,N,8,1", 1, {"COM10", 0, "9600,N,8,1", true, true}, 1},
    {"low latency without autorun", {"COM5", "1", "lowlatency"}, "COM5", 1, "", 0, {"COM5", 1, "", false, true}, 1},
    {"slash dropped before low latency", {"/LOWLATENCY", "COM5", "0"}, "COM5", 0, "", 0,
     {"COM5", 0, "", false, true}, 1},
    {"a word beginning with LOWLATENCY counts", {"COM5", "0", "LowLatencyPlease"}, "COM5", 0, "", 0,
     {"COM5", 0, "", false, true}, 1},
    {"low latency alone is dropped", {"-LowLatency"}, "", -1, "", 0, {}, 1},
    {"low latency without an index is dropped", {"COM5", "Autorun", "LowLatency"}, "COM5", -1, "", 1, {}, 1},
    {"shortened word is not low latency", {"COM5", "0", "LowLat"}, "COM5", 0, "", 0, {"COM5", 0, "", false}},
    {"word must begin with it", {"COM5", "0", "NoLowLatency"}, "COM5", 0, "", 0, {"COM5", 0, "", false}},
    {"two dashes leave one, so no word", {"COM5", "0", "--LowLatency"}, "COM5", 0, "", 0, {"COM5", 0, "", false}},
    {"launcher's line of a network connection",
     {"COM10", "0", "9600,n,8,1", "Autorun", "LowLatency", "NETWORK=RFC2217:127.0.0.1:4001"}, "COM10", 0,
     "9600,N,8,1", 1, {"COM10", 0, "9600,N,8,1", true, true, "NETWORK=RFC2217:127.0.0.1:4001"}, 1,
     "NETWORK=RFC2217:127.0.0.1:4001"},
    {"network word in lower case is upper-cased", {"COM5", "1", "network=raw:0.0.0.0:4001:10.0.0.5+10.0.0.6"},
     "COM5", 1, "", 0, {"COM5", 1, "", false, false, "NETWORK=RAW:0.0.0.0:4001:10.0.0.5+10.0.0.6"}, 0,
     "NETWORK=RAW:0.0.0.0:4001:10.0.0.5+10.0.0.6"},
    {"network word is kept as given, checked later", {"COM5", "1", "Network=nonsense"}, "COM5", 1, "", 0,
     {"COM5", 1, "", false, false, "NETWORK=NONSENSE"}, 0, "NETWORK=NONSENSE"},
    {"slash dropped before the network word", {"/NETWORK=RAW:127.0.0.1:1", "COM5", "0"}, "COM5", 0, "", 0,
     {"COM5", 0, "", false, false, "NETWORK=RAW:127.0.0.1:1"}, 0, "NETWORK=RAW:127.0.0.1:1"},
    {"network word without an index is dropped", {"COM5", "NETWORK=RAW:127.0.0.1:1"}, "COM5", -1, "", 0, {}, 0,
     "NETWORK=RAW:127.0.0.1:1"},
    {"network word with a comma is also the settings", {"COM5", "0", "NETWORK=RAW,1"}, "COM5", 0, "NETWORK=RAW,1", 0,
     {"COM5", 0, "NETWORK=RAW,1", false, false, "NETWORK=RAW,1"}, 0, "NETWORK=RAW,1"},
    {"the prefix alone is the word", {"COM5", "0", "network="}, "COM5", 0, "", 0,
     {"COM5", 0, "", false, false, "NETWORK="}, 0, "NETWORK="},
    {"cut before the equals sign is no word", {"COM5", "0", "NETWORK"}, "COM5", 0, "", 0, {"COM5", 0, "", false}},
    {"network word must begin with it", {"COM5", "0", "NONETWORK=RAW:127.0.0.1:1"}, "COM5", 0, "", 0,
     {"COM5", 0, "", false}},
    {"record word keeps its letter case and its comma is no line settings",
     {"COM10", "0", "9600,n,8,1", "Autorun", "Record=16:C:\\My Logs\\Com10, Test.log"}, "COM10", 0, "9600,N,8,1", 1,
     {"COM10", 0, "9600,N,8,1", true, false, "", "Record=16:C:\\My Logs\\Com10, Test.log"}, 0, "",
     "Record=16:C:\\My Logs\\Com10, Test.log"},
    {"record word without an index is dropped", {"COM5", "record=1:a.log"}, "COM5", -1, "", 0, {}, 0, "",
     "record=1:a.log"},
    // Arguments no launcher writes.
    {"low latency word of 4 KB", {"COM5", "0", "lowlatency" + std::string(4096, 'z')}, "COM5", 0, "", 0,
     {"COM5", 0, "", false, true}, 1},
    {"low latency without a port is dropped", {"0", "LowLatency"}, "", 0, "", 0, {}, 1},
    {"index of 300 zeros then 3", {"COM5", std::string(300, '0') + "3"}, "COM5", 3, "", 0, {"COM5", 3, "", false}},
    {"COM and 300 digits", {"COM" + std::string(300, '1'), "1"}, "COM" + std::string(300, '1'), 1, "", 0,
     {"COM" + std::string(300, '1'), 1, "", false}},
    {"50 commas", {"COM5", "1", std::string(50, ',')}, "COM5", 1, std::string(50, ','), 0,
     {"COM5", 1, std::string(50, ','), false}},
    {"separators only", {"/", "-", ",", ""}, "", -1, ",", 0, {}},
    {"NUL inside an argument", {std::string("CO\0M5", 5), "1"}, "", 1, "", 0, {}},
    {"high bytes are not upper-cased", {"COM\xe9", "1"}, "COM\xe9", 1, "", 0, {"COM\xe9", 1, "", false}},
    {"4 KB argument", {"COM" + std::string(4096, 'x'), "2"}, "COM" + std::string(4096, 'X'), 2, "", 0,
     {"COM" + std::string(4096, 'X'), 2, "", false}},
};

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, ClassifiesEachArgumentOnItsOwn)
{
    const CommandLineCase& c = GetParam();
    const auto info = parseCommandLine(c.arguments);
    EXPECT_EQ(info.comPortName, c.comPortName);
    EXPECT_EQ(info.clPortIndex, c.clPortIndex);
    EXPECT_EQ(info.lineSettings, c.lineSettings);
    EXPECT_EQ(info.autorun, c.autorun);
    EXPECT_EQ(info.lowLatency, c.lowLatency);
    EXPECT_EQ(info.networkWord, c.networkWord);
    EXPECT_EQ(info.recordWord, c.recordWord);
    const StartValues start = startValuesOf(info);
    EXPECT_EQ(start.comPortName, c.start.comPortName);
    EXPECT_EQ(start.clPortIndex, c.start.clPortIndex);
    EXPECT_EQ(start.lineSettings, c.start.lineSettings);
    EXPECT_EQ(start.autorun, c.start.autorun);
    EXPECT_EQ(start.lowLatency, c.start.lowLatency);
    EXPECT_EQ(start.networkWord, c.start.networkWord);
    EXPECT_EQ(start.recordWord, c.start.recordWord);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLine, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

} // namespace
