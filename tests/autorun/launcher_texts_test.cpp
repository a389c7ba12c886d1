// The launcher's texts: COM port names from "com" values, the bridge end it looks for,
// the line settings text and the bridge's parameters, with the values a configuration
// file can hold (at most 7 characters a text) and beyond.
#include "command_line_info.h"
#include "connection_settings.h"
#include "launcher_config.h"
#include "network_settings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace clser::autorun {
namespace {

TEST(LauncherTexts, ComPortNameAndSearchKey)
{
    const struct {
        const char* name;
        std::string com;
        std::string portName;
        std::string key;
    } rows[] = {
        {"digits get COM in front", "7", "COM7", "TARVCOM7"},
        {"name kept", "COM7", "COM7", "TARVCOM7"},
        {"lower case name kept, key upper", "com7", "com7", "TARVCOM7"},
        {"seven digits", "9999999", "COM9999999", "TARVCOM9999999"},
        {"seven letters", "abcdefg", "abcdefg", "TARVABCDEFG"},
        {"empty", "", "", "TARV"},
        {"high bytes untouched", "\xe9\xff", "\xe9\xff", "TARV\xe9\xff"},
        {"NUL kept", "CO\0M"s, "CO\0M"s, "TARVCO\0M"s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(comPortNameOf(row.com), row.portName);
        EXPECT_EQ(bridgeSearchKey(row.portName), row.key);
    }
}

// The line settings the launcher passes are the ones the bridge program reads: every
// value, written as the file keeps it, goes through the launcher's text and the bridge's
// parser unchanged; texts no write-back makes end in the defaults.
TEST(LauncherTexts, LineSettingsTextParsesBackOnTheBridgeSide)
{
    auto upperCased = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    };
    const struct {
        const char* name;
        LauncherSection section;
        std::string text;
        LineSettings line;
    } rows[] = {
        {"defaults", {}, "9600,n,8,1", {}},
        {"extreme integers", {"COM5", 0, INT_MIN, "n", INT_MAX, "1", 1, 1, ""}, "-2147483648,n,2147483647,1", {}},
        {"seven-letter texts", {"COM5", 0, 9600, "abcdefg", 8, "1234567", 1, 1, ""}, "9600,abcdefg,8,1234567", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(lineSettingsText(row.section), row.text);
        EXPECT_EQ(parseLineSettings(upperCased(lineSettingsText(row.section))), row.line);
    }
    for (const LineRate& rate : kLineRates)
        for (const Parity parity : {Parity::none, Parity::odd, Parity::even})
            for (uint32_t dataBits = 5; dataBits <= 9; ++dataBits)
                for (const StopBits stop : {StopBits::one, StopBits::onePointFive, StopBits::two}) {
                    const LineSettings line{rate.rate, parity, dataBits, stop};
                    LauncherSection written;
                    written.baudrate = static_cast<int>(line.baudRate);
                    written.parity = parityLetter(line.parity);
                    written.databit = static_cast<int>(line.dataBits);
                    written.stopbit = stopBitsLabel(line.stopBits);
                    EXPECT_EQ(lineSettingsText(written), clser::lineSettingsText(line));
                    ASSERT_EQ(parseLineSettings(upperCased(lineSettingsText(written))), line)
                        << clser::lineSettingsText(line);
                }
}

TEST(LauncherTexts, ParametersOfTheLongestValuesAreWhole)
{
    LauncherSection s;
    s.com = "1234567";
    s.baudrate = INT_MIN;
    s.parity = "ppppppp";
    s.databit = INT_MIN;
    s.stopbit = "sssssss";
    const std::string portName = comPortNameOf(s.com);
    EXPECT_EQ(bridgeParameters(portName, INT_MIN, lineSettingsText(s)),
              "COM1234567 -2147483648 -2147483648,ppppppp,-2147483648,sssssss Autorun");
    EXPECT_EQ(bridgeParameters(portName, INT_MIN, lineSettingsText(s), true),
              "COM1234567 -2147483648 -2147483648,ppppppp,-2147483648,sssssss Autorun LowLatency");
}

TEST(LauncherTexts, LowLatencyValueAddsOneWordOnlyWhenOne)
{
    const struct {
        const char* name;
        std::string value;
        LowLatencyValue asked;
        std::string parameters;
    } rows[] = {
        {"absent", "", LowLatencyValue::Off, "COM5 0 9600,n,8,1 Autorun"},
        {"zero", "0", LowLatencyValue::Off, "COM5 0 9600,n,8,1 Autorun"},
        {"one", "1", LowLatencyValue::On, "COM5 0 9600,n,8,1 Autorun LowLatency"},
        {"two", "2", LowLatencyValue::Unrecognised, "COM5 0 9600,n,8,1 Autorun"},
        {"leading zero", "01", LowLatencyValue::Unrecognised, "COM5 0 9600,n,8,1 Autorun"},
        {"minus one", "-1", LowLatencyValue::Unrecognised, "COM5 0 9600,n,8,1 Autorun"},
        {"word", "yes", LowLatencyValue::Unrecognised, "COM5 0 9600,n,8,1 Autorun"},
        {"one and more", "1abc", LowLatencyValue::Unrecognised, "COM5 0 9600,n,8,1 Autorun"},
        {"NUL after one", "1\0"s, LowLatencyValue::Unrecognised, "COM5 0 9600,n,8,1 Autorun"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LauncherSection s;
        s.com = "COM5";
        s.lowlatency = row.value;
        const LowLatencyValue asked = lowLatencyOf(s.lowlatency);
        EXPECT_EQ(asked, row.asked);
        EXPECT_EQ(bridgeParameters(comPortNameOf(s.com), s.clser, lineSettingsText(s), asked == LowLatencyValue::On),
                  row.parameters);
        EXPECT_EQ(unpassableValue(s), nullptr) << "the value itself never reaches the command line";
    }
}

// The network word comes last, after Autorun and LowLatency, as one argument; a
// section without network keys gets the parameters it always had.
TEST(LauncherTexts, NetworkWordComesLastAsOneArgument)
{
    using network::NetProtocol;
    using network::NetworkSettings;
    std::vector<uint32_t> sixteen;
    for (uint32_t i = 1; i <= network::kMaxAllowedClients; ++i)
        sixteen.push_back(0xC0A80100u + i);
    const struct {
        const char* name;
        bool lowLatency;
        std::optional<NetworkSettings> network;
        std::string parameters;
    } rows[] = {
        {"pair", false, std::nullopt, "COM5 0 9600,n,8,1 Autorun"},
        {"pair, low latency", true, std::nullopt, "COM5 0 9600,n,8,1 Autorun LowLatency"},
        {"RFC 2217 on the loopback", false, NetworkSettings{4001, network::kLoopbackAddress, NetProtocol::Rfc2217, {}},
         "COM5 0 9600,n,8,1 Autorun NETWORK=RFC2217:127.0.0.1:4001"},
        {"raw on every interface after low latency", true,
         NetworkSettings{65535, network::kAnyAddress, NetProtocol::Raw, {0x0A000005}},
         "COM5 0 9600,n,8,1 Autorun LowLatency NETWORK=RAW:0.0.0.0:65535:10.0.0.5"},
        {"sixteen allowed clients", false, NetworkSettings{1, network::kLoopbackAddress, NetProtocol::Raw, sixteen},
         "COM5 0 9600,n,8,1 Autorun NETWORK=RAW:127.0.0.1:1:192.168.1.1+192.168.1.2+192.168.1.3+192.168.1.4+"
         "192.168.1.5+192.168.1.6+192.168.1.7+192.168.1.8+192.168.1.9+192.168.1.10+192.168.1.11+192.168.1.12+"
         "192.168.1.13+192.168.1.14+192.168.1.15+192.168.1.16"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LauncherSection s;
        s.com = "5";
        const std::string word = row.network ? network::networkWord(*row.network) : std::string();
        const std::string parameters =
            bridgeParameters(comPortNameOf(s.com), s.clser, lineSettingsText(s), row.lowLatency, word);
        EXPECT_EQ(parameters, row.parameters);
        if (row.network) {
            EXPECT_EQ(word.find_first_of(" \t\","), std::string::npos) << "one argument, never line settings";
            EXPECT_EQ(parameters.substr(parameters.size() - word.size()), word);
        }
    }
}

TEST(LauncherTexts, ValuesThatWouldSplitTheCommandLine)
{
    const struct {
        const char* name;
        LauncherSection section;
        const char* key;
    } rows[] = {
        {"passable", {"COM5", 0, 9600, "n", 8, "1", 1, 1, ""}, nullptr},
        {"blank in com", {"COM 5", 0, 9600, "n", 8, "1", 1, 1, ""}, "com"},
        {"tab in parity", {"COM5", 0, 9600, "n\t", 8, "1", 1, 1, ""}, "parity"},
        {"quote in stopbit", {"COM5", 0, 9600, "n", 8, "1\"", 1, 1, ""}, "stopbit"},
        {"first offending key wins", {"\"", 0, 9600, " ", 8, " ", 1, 1, ""}, "com"},
        {"NUL and high bytes pass", {"C\0\xff"s, 0, 9600, "n", 8, "1", 1, 1, ""}, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const char* key = unpassableValue(row.section);
        if (row.key)
            EXPECT_STREQ(key, row.key);
        else
            EXPECT_EQ(key, nullptr);
    }
}

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

// What the launcher writes, the bridge program reads back as it was meant.
TEST(LauncherTexts, ParametersReadBackByTheBridgeProgram)
{
    LauncherSection s;
    s.com = "7";
    s.parity = "e";
    s.stopbit = "1.5";
    s.baudrate = 115200;
    s.databit = 7;
    const std::string portName = comPortNameOf(s.com);
    const network::NetworkSettings served{4001, network::kAnyAddress, network::NetProtocol::Raw, {0x0A000005}};
    for (const bool lowLatency : {false, true}) {
        for (const std::string& word : {std::string(), network::networkWord(served)}) {
            SCOPED_TRACE(std::string(lowLatency ? "low latency" : "default mode") + " " + word);
            const auto start = app::startValuesOf(app::parseCommandLine(
                splitAtBlanks(bridgeParameters(portName, 3, lineSettingsText(s), lowLatency, word))));
            EXPECT_EQ(start, (app::StartValues{"COM7", 3, "115200,E,7,1.5", true, lowLatency, word}));
            if (!word.empty()) {
                const network::NetworkSettingsParse parsed = network::parseNetworkWord(start.networkWord);
                EXPECT_TRUE(parsed.configured) << parsed.error;
                EXPECT_EQ(parsed.settings, served);
            }
        }
    }
}

} // namespace
} // namespace clser::autorun
