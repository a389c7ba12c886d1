// The bridge program's command line, initial selection, port box items and status texts
// under the sanitizers, and the launcher's parameters read back by the bridge's
// command-line classification.
#include "command_line_info.h"
#include "initial_selection.h"
#include "launcher_config.h"
#include "network_settings.h"
#include "status_texts.h"
#include "virtual_port_items.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace std::string_literals;

namespace clser::app {
namespace {

std::vector<std::string> splitAtBlanks(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (c == ' ') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

TEST(CommandLine, ArgumentsNoLauncherWrites)
{
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        StartValues start;
    } rows[] = {
        {"launcher's line", {"COM5", "0", "9600,n,8,1", "Autorun"}, {"COM5", 0, "9600,N,8,1", true}},
        {"launcher's line with low latency", {"COM5", "0", "9600,n,8,1", "Autorun", "LowLatency"},
         {"COM5", 0, "9600,N,8,1", true, true}},
        {"low latency word of 4 KB", {"COM5", "0", "lowlatency" + std::string(4096, 'z')}, {"COM5", 0, "", false, true}},
        {"low latency cut short", {"COM5", "0", "LOWLATENC"}, {"COM5", 0, "", false, false}},
        {"low latency without a port is dropped", {"0", "LowLatency"}, {}},
        {"index of 20 digits stays at the largest", {"COM5", std::string(20, '9')}, {"COM5", INT_MAX, "", false}},
        {"index of 300 zeros then 3", {"COM5", std::string(300, '0') + "3"}, {"COM5", 3, "", false}},
        {"COM and 300 digits", {"COM" + std::string(300, '1'), "1"}, {"COM" + std::string(300, '1'), 1, "", false}},
        {"50 commas", {"COM5", "1", std::string(50, ',')}, {"COM5", 1, std::string(50, ','), false}},
        {"separators only", {"/", "-", ",", ""}, {}},
        {"negative index is no index", {"COM5", "-1"}, {}},
        {"NUL inside an argument", {"CO\0M5"s, "1"}, {}},
        {"high bytes are not upper-cased", {"COM\xe9", "1"}, {"COM\xe9", 1, "", false}},
        {"4 KB argument", {"COM" + std::string(4096, 'x'), "2"}, {"COM" + std::string(4096, 'X'), 2, "", false}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(startValuesOf(parseCommandLine(row.arguments)), row.start);
    }
}

TEST(CommandLine, LauncherParametersReadBack)
{
    autorun::LauncherSection s;
    s.com = "7";
    s.parity = "e";
    s.stopbit = "1.5";
    s.baudrate = 115200;
    s.databit = 7;
    const std::string portName = autorun::comPortNameOf(s.com);
    const network::NetworkSettings served{4001, network::kAnyAddress, network::NetProtocol::Raw, {0x0A000005}};
    for (const bool lowLatency : {false, true}) {
        for (const std::string& word : {std::string(), network::networkWord(served)}) {
            SCOPED_TRACE(std::string(lowLatency ? "low latency" : "default mode") + " " + word);
            const auto start = startValuesOf(parseCommandLine(
                splitAtBlanks(autorun::bridgeParameters(portName, 3, autorun::lineSettingsText(s), lowLatency, word))));
            EXPECT_EQ(start, (StartValues{"COM7", 3, "115200,E,7,1.5", true, lowLatency, word}));
            if (!word.empty()) {
                const network::NetworkSettingsParse parsed = network::parseNetworkWord(start.networkWord);
                EXPECT_TRUE(parsed.configured) << parsed.error;
                EXPECT_EQ(parsed.settings, served);
            }
        }
    }
}

TEST(StatusTexts, IndicesOutsideTheList)
{
    ConnectionSettings s;
    s.userPortName = "COM5";
    const std::vector<std::string> names{"0. A_Port0"};
    for (int32_t index : {INT_MIN, -1, 0, 1, INT_MAX}) {
        SCOPED_TRACE(index);
        s.clPortIndex = index;
        const StatusTexts t = statusTexts(true, s, names);
        EXPECT_EQ(t.panes[1], index < 0 ? "<->" : index == 0 ? "COM5<->0. A_Port0" : "COM5<->");
    }
    s.baudRate = UINT32_MAX;
    s.dataBits = UINT32_MAX;
    s.parity = INT_MIN;
    s.stopBits = INT_MIN;
    s.clBaudCode = INT_MIN;
    EXPECT_EQ(statusTexts(false, s, {}).panes[2], "4294967295 n 4294967295 1");
}

TEST(InitialSelection, StartValuesAtTheirExtremes)
{
    const std::vector<VirtualPair> entries{{"CNC0", "COM5", "TARVCOM5"}, {"", "COM1", ""}};
    const std::vector<std::string> clPortNames{"0. A_Port0", "1. A_Port1"};
    const struct {
        const char* name;
        std::string port;
        int32_t index;
        StartChoice choice;
    } rows[] = {
        {"listed pair, listed index", "COM5", 1, StartChoice::Connect},
        {"index one past the list", "COM5", 2, StartChoice::StartPortUnusable},
        {"largest index", "COM5", INT_MAX, StartChoice::StartPortUnusable},
        {"plain port", "COM1", 0, StartChoice::StartPortUnusable},
        {"port of 300 digits", "COM" + std::string(300, '5'), 0, StartChoice::StartPortUnusable},
        {"no port", "", 0, StartChoice::NoStartPort},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConnectionSettings s;
        s.userPortName = row.port;
        s.bridgePortName = "TARV" + row.port;
        s.clPortIndex = row.index;
        EXPECT_EQ(chooseInitialSelection(row.port, s, entries, clPortNames), row.choice);
    }
}

TEST(VirtualPortItems, PairNumbersOfAnyIdentifier)
{
    const struct {
        const char* name;
        std::string pairId;
        intptr_t number;
    } rows[] = {
        {"pair 3", "CNC3", 3},
        {"three digits", "CNC123", 123},
        {"sixteen digits, as a 19-character buffer holds", "CNC" + std::string(16, '9'), INT_MAX},
        {"largest int", "CNC2147483647", INT_MAX},
        {"digits stop at a letter", "CNC12x4", 12},
        {"too short", "CNC", 0},
        {"empty", "", 0},
        {"sign", "CNC-1", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(pairNumberOfId(row.pairId), row.number);
    }
}

} // namespace
} // namespace clser::app
