// A connection's profile and its codecs: what the launcher writes (the command line, the
// section) the bridge program reads back unchanged; how each argument and each key is
// taken; what the launcher says about a section it cannot pass.
#include "connection_profile.h"
#include "letter_case.h"
#include "line_rates.h"
#include "runtime_split.h"
#include "section_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace clser::profile {
namespace {

using network::NetProtocol;
using network::NetworkSettings;

constexpr char kDir[] = "C:\\Dunmere\\bin";

std::string sectionText(const std::vector<KeyValue>& keys)
{
    std::string text;
    for (const KeyValue& k : keys)
        text += std::string(k.key) + "=" + k.value + "\r\n";
    return text;
}

ConnectionProfile profileOf(std::string port, int32_t index, LineSettings line, bool lowLatency = false,
                            std::optional<NetworkSettings> network = std::nullopt,
                            std::optional<TrafficRecordSettings> record = std::nullopt)
{
    ConnectionProfile p;
    p.userPortName = std::move(port);
    p.clPortIndex = index;
    p.line = line;
    p.lowLatency = lowLatency;
    p.network = std::move(network);
    p.record = std::move(record);
    return p;
}

// The same profile on another maker's library.
ConnectionProfile onLibrary(ConnectionProfile p, std::string library)
{
    p.clLibrary = std::move(library);
    return p;
}

TrafficRecordSettings recordOf(std::string path, uint32_t mib)
{
    TrafficRecordSettings r;
    r.path = std::move(path);
    r.limitMib = mib;
    return r;
}

// The one round trip: every line, both modes, network endpoints with allow lists and
// takeover, record paths with blanks, commas and trailing backslashes.
TEST(ConnectionProfile, WhatTheLauncherWritesTheBridgeReadsBackUnchanged)
{
    std::vector<ConnectionProfile> profiles;
    for (const LineRate& rate : kLineRates)
        for (const Parity parity : {Parity::none, Parity::odd, Parity::even})
            for (uint32_t dataBits = 5; dataBits <= 9; ++dataBits)
                for (const StopBits stop : {StopBits::one, StopBits::onePointFive, StopBits::two})
                    profiles.push_back(profileOf("COM5", 0, {rate.rate, parity, dataBits, stop}));
    std::vector<uint32_t> sixteen;
    for (uint32_t i = 1; i <= network::kMaxAllowedClients; ++i)
        sixteen.push_back(0xC0A80100u + i);
    const NetworkSettings rfc{4001, network::kLoopbackAddress, NetProtocol::Rfc2217, {}};
    const NetworkSettings raw{65535, network::kAnyAddress, NetProtocol::Raw, sixteen, true};
    const NetworkSettings one{1, 0x0A000001, NetProtocol::Raw, {0x0A000005}};
    const LineSettings fast{115200, Parity::even, 7, StopBits::onePointFive};
    for (const bool lowLatency : {false, true}) {
        profiles.push_back(profileOf("COM10", 255, fast, lowLatency));
        profiles.push_back(profileOf("COM7", 3, fast, lowLatency, rfc));
        profiles.push_back(profileOf("COM7", 3, {}, lowLatency, raw));
        profiles.push_back(profileOf("COM7", 3, {}, lowLatency, one));
        profiles.push_back(profileOf("COM10", 0, {}, lowLatency, std::nullopt,
                                     recordOf("C:\\My Logs\\Com10, Test.log", 16)));
        profiles.push_back(profileOf("COM10", 0, fast, lowLatency, raw, recordOf("C:\\Logs\\", 1)));
        profiles.push_back(profileOf("COM10", 1, {}, lowLatency, rfc,
                                     recordOf("\\\\server\\share\\with blanks, and commas\\\\", 4096)));
        profiles.push_back(profileOf("COM10", 2, {}, lowLatency, std::nullopt, recordOf("C:/Logs/com10.log", 7)));
        profiles.push_back(onLibrary(profileOf("COM12", 2, fast, lowLatency, rfc), "clserlrk.dll"));
        profiles.push_back(onLibrary(profileOf("COM12", 0, {}, lowLatency, std::nullopt, recordOf("C:\\a b.log", 1)),
                                     "clser with, blanks.dll"));
    }
    for (const ConnectionProfile& p : profiles) {
        const std::string arguments = toArguments(p);
        SCOPED_TRACE(arguments);
        const ArgumentsParse parsed = parseArguments(test::splitAsTheRuntime(arguments), kDir);
        EXPECT_EQ(parsed.profile, p);
        EXPECT_TRUE(parsed.autorun);
        EXPECT_TRUE(parsed.lineGiven);
        EXPECT_EQ(parsed.problems, std::vector<std::string>{});
        const ProfileRead read = readProfile(test::SectionText(sectionText(sectionOf(p))), 1, kDir);
        EXPECT_EQ(read.profile, p);
        EXPECT_EQ(read.lineArgument, lineSettingsText(p.line));
        EXPECT_EQ(read.refusal, "");
        EXPECT_EQ(read.warnings, std::vector<std::string>{});
    }
}

// The words the launcher writes, in order and as one argument each.
TEST(ConnectionProfile, CommandLineText)
{
    const struct {
        ConnectionProfile profile;
        std::string arguments;
    } rows[] = {
        {profileOf("COM5", 0, {}), "COM5 0 9600,n,8,1 Autorun"},
        {profileOf("com7", 2, {115200, Parity::odd, 5, StopBits::two}, true), "com7 2 115200,o,5,2 Autorun LowLatency"},
        {profileOf("COM5", 0, {}, false, NetworkSettings{4001, network::kLoopbackAddress, NetProtocol::Rfc2217, {}}),
         "COM5 0 9600,n,8,1 Autorun NETWORK=RFC2217:127.0.0.1:4001"},
        {profileOf("COM5", 0, {}, true, NetworkSettings{65535, network::kAnyAddress, NetProtocol::Raw, {0x0A000005}}),
         "COM5 0 9600,n,8,1 Autorun LowLatency NETWORK=RAW:0.0.0.0:65535:10.0.0.5"},
        {profileOf("COM5", 0, {}, false, std::nullopt, recordOf("C:\\My Logs\\a, b.log", 16)),
         "COM5 0 9600,n,8,1 Autorun \"Record=16:C:\\My Logs\\a, b.log\""},
        {profileOf("COM5", 0, {}, true, NetworkSettings{1, network::kLoopbackAddress, NetProtocol::Raw, {}, true},
                   recordOf("C:\\Logs\\", 1)),
         "COM5 0 9600,n,8,1 Autorun LowLatency NETWORK=RAW:127.0.0.1:1:TAKEOVER \"Record=1:C:\\Logs\\\\\""},
        {onLibrary(profileOf("COM12", 1, {}, true), "clserlrk.dll"), "COM12 1 9600,n,8,1 Autorun LowLatency CLLIB=clserlrk.dll"},
        {onLibrary(profileOf("COM12", 1, {}), "clser x.dll"), "COM12 1 9600,n,8,1 Autorun \"CLLIB=clser x.dll\""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(toArguments(row.profile), row.arguments);
}

// What the bridge program starts with, as the command line's words give it.
struct Start {
    std::string comPortName;
    int32_t clPortIndex = -1;
    std::string lineSettings;  // the argument that carried them, upper-cased; empty: none
    bool autorun = false;
    bool lowLatency = false;
    std::string networkWord = {};  // upper-cased
    std::string recordWord = {};   // as given
};

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;
    Start start;
};

const CommandLineCase kCases[] = {
    {"launcher's command line", {"COM5", "0", "9600,n,8,1", "Autorun"}, {"COM5", 0, "9600,N,8,1", true}},
    {"lower-case port and an index", {"com7", "2"}, {"COM7", 2, "", false}},
    {"port alone is dropped", {"COM5"}, {}},
    {"index alone is dropped", {"3"}, {}},
    {"autorun word alone is dropped", {"-autorun"}, {}},
    {"settings without index are dropped", {"COM5", "9600,N,8,1", "AUTORUN"}, {}},
    {"slash dropped before the word", {"/AUTORUN", "COM3", "1"}, {"COM3", 1, "", true}},
    {"dash dropped before the port", {"-com4", "0"}, {"COM4", 0, "", false}},
    {"port with a comma is also the settings", {"COM5,9600"}, {}},
    {"negative number is no index", {"COM5", "-1"}, {}},
    {"hexadecimal is no index", {"COM5", "0x5"}, {}},
    {"later arguments overwrite earlier ones", {"COM5", "1", "COM6", "2"}, {"COM6", 2, "", false}},
    {"a word beginning with AUTORUN counts", {"COM1", "0", "autorunning"}, {"COM1", 0, "", true}},
    {"name not beginning with COM is ignored", {"PORT5", "0"}, {}},
    {"order of the arguments is free", {"Autorun", "115200,e,7,2", "1", "COM9"}, {"COM9", 1, "115200,E,7,2", true}},
    {"empty argument sets nothing", {""}, {}},
    {"index too large for 32 bits stays largest", {"COM5", "99999999999"}, {"COM5", INT_MAX, "", false}},
    {"launcher's line asking for low latency", {"COM10", "0", "9600,N,8,1", "Autorun", "LowLatency"}, {"COM10", 0, "9600,N,8,1", true, true}},
    {"low latency without autorun", {"COM5", "1", "lowlatency"}, {"COM5", 1, "", false, true}},
    {"slash dropped before low latency", {"/LOWLATENCY", "COM5", "0"}, {"COM5", 0, "", false, true}},
    {"a word beginning with LOWLATENCY counts", {"COM5", "0", "LowLatencyPlease"}, {"COM5", 0, "", false, true}},
    {"low latency alone is dropped", {"-LowLatency"}, {}},
    {"low latency without an index is dropped", {"COM5", "Autorun", "LowLatency"}, {}},
    {"shortened word is not low latency", {"COM5", "0", "LowLat"}, {"COM5", 0, "", false}},
    {"word must begin with it", {"COM5", "0", "NoLowLatency"}, {"COM5", 0, "", false}},
    {"two dashes leave one, so no word", {"COM5", "0", "--LowLatency"}, {"COM5", 0, "", false}},
    {"launcher's line of a network connection", {"COM10", "0", "9600,n,8,1", "Autorun", "LowLatency", "NETWORK=RFC2217:127.0.0.1:4001"}, {"COM10", 0, "9600,N,8,1", true, true, "NETWORK=RFC2217:127.0.0.1:4001"}},
    {"network word in lower case is upper-cased", {"COM5", "1", "network=raw:0.0.0.0:4001:10.0.0.5+10.0.0.6"}, {"COM5", 1, "", false, false, "NETWORK=RAW:0.0.0.0:4001:10.0.0.5+10.0.0.6"}},
    {"network word is kept as given, checked later", {"COM5", "1", "Network=nonsense"}, {"COM5", 1, "", false, false, "NETWORK=NONSENSE"}},
    {"slash dropped before the network word", {"/NETWORK=RAW:127.0.0.1:1", "COM5", "0"}, {"COM5", 0, "", false, false, "NETWORK=RAW:127.0.0.1:1"}},
    {"network word without an index is dropped", {"COM5", "NETWORK=RAW:127.0.0.1:1"}, {}},
    {"network word with a comma is also the settings", {"COM5", "0", "NETWORK=RAW,1"}, {"COM5", 0, "NETWORK=RAW,1", false, false, "NETWORK=RAW,1"}},
    {"the prefix alone is the word", {"COM5", "0", "network="}, {"COM5", 0, "", false, false, "NETWORK="}},
    {"cut before the equals sign is no word", {"COM5", "0", "NETWORK"}, {"COM5", 0, "", false}},
    {"network word must begin with it", {"COM5", "0", "NONETWORK=RAW:127.0.0.1:1"}, {"COM5", 0, "", false}},
    {"record word keeps its letter case and its comma is no line settings", {"COM10", "0", "9600,n,8,1", "Autorun", "Record=16:C:\\My Logs\\Com10, Test.log"}, {"COM10", 0, "9600,N,8,1", true, false, "", "Record=16:C:\\My Logs\\Com10, Test.log"}},
    {"record word without an index is dropped", {"COM5", "record=1:a.log"}, {}},
    // Arguments no launcher writes.
    {"low latency word of 4 KB", {"COM5", "0", "lowlatency" + std::string(4096, 'z')}, {"COM5", 0, "", false, true}},
    {"low latency without a port is dropped", {"0", "LowLatency"}, {}},
    {"index of 300 zeros then 3", {"COM5", std::string(300, '0') + "3"}, {"COM5", 3, "", false}},
    {"COM and 300 digits", {"COM" + std::string(300, '1'), "1"}, {"COM" + std::string(300, '1'), 1, "", false}},
    {"50 commas", {"COM5", "1", std::string(50, ',')}, {"COM5", 1, std::string(50, ','), false}},
    {"separators only", {"/", "-", ",", ""}, {}},
    {"NUL inside an argument", {std::string("CO\0M5", 5), "1"}, {}},
    {"high bytes are not upper-cased", {"COM\xe9", "1"}, {"COM\xe9", 1, "", false}},
    {"4 KB argument", {"COM" + std::string(4096, 'x'), "2"}, {"COM" + std::string(4096, 'X'), 2, "", false}},
};

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, ClassifiesEachArgumentOnItsOwn)
{
    const CommandLineCase& c = GetParam();
    const ArgumentsParse parse = parseArguments(c.arguments, kDir);
    EXPECT_EQ(parse.profile.userPortName, c.start.comPortName);
    EXPECT_EQ(parse.profile.clPortIndex, c.start.clPortIndex);
    EXPECT_EQ(parse.lineGiven, !c.start.lineSettings.empty());
    EXPECT_EQ(parse.profile.line, parseLineSettings(c.start.lineSettings));
    EXPECT_EQ(parse.autorun, c.start.autorun);
    EXPECT_EQ(parse.profile.lowLatency, c.start.lowLatency);
    // A word is taken when it reads back; otherwise one problem says why.
    std::optional<NetworkSettings> network;
    std::optional<TrafficRecordSettings> record;
    std::vector<std::string> problems;
    if (!c.start.networkWord.empty()) {
        const network::NetworkSettingsParse net = network::parseNetworkWord(c.start.networkWord);
        if (net.configured)
            network = net.settings;
        else
            problems.push_back("The network word is not valid, the connection uses its virtual pair: " + net.error);
    }
    if (!c.start.recordWord.empty()) {
        const TrafficRecordParse r = parseRecordWord(c.start.recordWord, kDir);
        if (r.configured)
            record = r.settings;
        else
            problems.push_back("The record word is not valid, the connection runs without a record: " + r.error);
    }
    EXPECT_EQ(parse.profile.network, network);
    EXPECT_EQ(parse.profile.record, record);
    EXPECT_EQ(parse.problems, problems);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLine, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

// A section as the launcher reads it: the command line it passes (the line settings as
// the section spells them), which the bridge program reads back as the profile the
// launcher read, or why it does not start the connection, and what it says about values
// it starts without.
TEST(ConnectionProfile, SectionAsTheLauncherReadsIt)
{
    const struct {
        const char* name;
        std::string section;
        std::string arguments;  // empty when refused
        std::string said;       // the refusal, or the warnings one a line
    } rows[] = {
        {"digits get COM in front", "com=5", "COM5 0 9600,n,8,1 Autorun", ""},
        {"name kept as written", "com=com7\r\nclser=2", "com7 2 9600,n,8,1 Autorun", ""},
        {"text values cut to seven characters", "com=COM123456\r\nparity=eeeeeeee", "COM1234 0 9600,eeeeeee,8,1 Autorun",
         ""},
        {"letters in any case", "com=5\r\nbaudrate=115200\r\nparity=E\r\ndatabit=7\r\nstopbit=1.5",
         "COM5 0 115200,E,7,1.5 Autorun", ""},
        {"unknown values read as the bridge reads them", "com=5\r\nbaudrate=4800\r\nparity=abcdefg\r\nstopbit=1234567",
         "COM5 0 4800,abcdefg,8,1234567 Autorun", ""},
        {"a minus before the rate is dropped as an argument's", "com=5\r\nbaudrate=-115200",
         "COM5 0 -115200,n,8,1 Autorun", ""},
        {"extreme integers", "com=5\r\nbaudrate=-2147483648\r\ndatabit=2147483647",
         "COM5 0 -2147483648,n,2147483647,1 Autorun", ""},
        {"a comma in a value shifts the fields", "com=5\r\nparity=e,7", "COM5 0 9600,e,7,8,1 Autorun", ""},
        {"lowlatency 1", "com=5\r\nlowlatency=1", "COM5 0 9600,n,8,1 Autorun LowLatency", ""},
        {"lowlatency 0", "com=5\r\nlowlatency=0", "COM5 0 9600,n,8,1 Autorun", ""},
        {"lowlatency empty", "com=5\r\nlowlatency=", "COM5 0 9600,n,8,1 Autorun", ""},
        {"lowlatency 2", "com=5\r\nlowlatency=2", "COM5 0 9600,n,8,1 Autorun",
         "The value of \"lowlatency\" in section connection1 is neither 0 nor 1, the connection starts in the "
         "default mode"},
        {"lowlatency leading zero", "com=5\r\nlowlatency=01", "COM5 0 9600,n,8,1 Autorun",
         "The value of \"lowlatency\" in section connection1 is neither 0 nor 1, the connection starts in the "
         "default mode"},
        {"lowlatency word", "com=5\r\nlowlatency=yes", "COM5 0 9600,n,8,1 Autorun",
         "The value of \"lowlatency\" in section connection1 is neither 0 nor 1, the connection starts in the "
         "default mode"},
        {"blank in com", "com=\"COM 5\"", "",
         "The value of \"com\" in section connection1 contains a blank or a quote, please check the configuration"},
        {"tab in parity", "com=5\r\nparity=\"n\t\"", "",
         "The value of \"parity\" in section connection1 contains a blank or a quote, please check the configuration"},
        {"quote in stopbit", "com=5\r\nstopbit=1\"", "",
         "The value of \"stopbit\" in section connection1 contains a blank or a quote, please check the "
         "configuration"},
        {"first offending key wins", "com=\"\r\nparity=\" \"\r\nstopbit=\" \"", "",
         "The value of \"com\" in section connection1 contains a blank or a quote, please check the configuration"},
        {"negative index", "com=5\r\nclser=-1", "",
         "The cl serial port index -1 of section connection1 is invalid, please check the configuration"},
        {"network", "com=5\r\nnetport=4001", "COM5 0 9600,n,8,1 Autorun NETWORK=RFC2217:127.0.0.1:4001", ""},
        {"another maker's library", "com=5\r\nclser=2\r\ncllibrary=clserlrk.dll", "COM5 2 9600,n,8,1 Autorun CLLIB=clserlrk.dll",
         ""},
        {"library empty", "com=5\r\ncllibrary=", "COM5 0 9600,n,8,1 Autorun", ""},
        {"library as a path", "com=5\r\ncllibrary=C:\\x\\clserlrk.dll", "",
         "The value of \"cllibrary\" in section connection1 is a path instead of a file name, the connection is not "
         "started"},
        {"library with a quote, which would split the command line", "com=5\r\ncllibrary=clser\" LowLatency x.dll", "",
         "The value of \"cllibrary\" in section connection1 is not a file name, the connection is not started"},
        {"network port out of range", "com=5\r\nnetport=70000", "COM5 0 9600,n,8,1 Autorun",
         "The network settings in section connection1 are invalid, the connection starts without network access: "
         "netport: \"70000\" is not a TCP port (1 to 65535)"},
        {"record beside the programs", "com=5\r\nrecordfile=a.log",
         "COM5 0 9600,n,8,1 Autorun \"Record=16:C:\\Dunmere\\bin\\a.log\"", ""},
        {"record size out of range", "com=5\r\nrecordfile=C:\\a.log\r\nrecordmib=0",
         "COM5 0 9600,n,8,1 Autorun \"Record=16:C:\\a.log\"",
         "The record settings in section connection1 are invalid: recordmib: \"0\" is not a size in MiB (1 to 4096), "
         "16 is used"},
        {"record size without a file", "com=5\r\nrecordmib=8", "COM5 0 9600,n,8,1 Autorun",
         "The record settings in section connection1 are invalid, the connection runs without a record: recordmib: "
         "given without recordfile"},
        {"every warning in order", "com=5\r\nlowlatency=x\r\nnetport=0\r\nrecordmib=8", "COM5 0 9600,n,8,1 Autorun",
         "The value of \"lowlatency\" in section connection1 is neither 0 nor 1, the connection starts in the default "
         "mode\nThe network settings in section connection1 are invalid, the connection starts without network "
         "access: netport: \"0\" is not a TCP port (1 to 65535)\nThe record settings in section connection1 are "
         "invalid, the connection runs without a record: recordmib: given without recordfile"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProfileRead read = readProfile(test::SectionText(row.section), 1, kDir);
        if (row.arguments.empty()) {
            EXPECT_EQ(read.refusal, row.said);
            continue;
        }
        EXPECT_EQ(read.refusal, "");
        const std::string arguments = toArguments(read.profile, read.lineArgument);
        EXPECT_EQ(arguments, row.arguments);
        ConnectionProfile passed = read.profile;
        passed.userPortName = upperCase(passed.userPortName);
        EXPECT_EQ(parseArguments(test::splitAsTheRuntime(arguments), kDir).profile, passed);
        std::string said;
        for (const std::string& warning : read.warnings)
            said += (said.empty() ? "" : "\n") + warning;
        EXPECT_EQ(said, row.said);
    }
}

// The network keys: values as read become the endpoint's settings or one error naming the key.
NetworkSectionValues networkSection(std::string port, std::string address = "", std::string protocol = "",
                                    std::string allow = "", const char* tooLong = nullptr, std::string takeover = "")
{
    return {std::move(port), std::move(address), std::move(protocol), std::move(allow), std::move(takeover), tooLong};
}

constexpr uint32_t ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) { return (a << 24) | (b << 16) | (c << 8) | d; }

TEST(NetworkSection, ValuesBecomeSettingsOrOneClearError)
{
    const NetworkSettings loopbackDefaults{4001, network::kLoopbackAddress, NetProtocol::Rfc2217, {}};
    const struct {
        const char* name;
        NetworkSectionValues values;
        bool configured;
        NetworkSettings settings;
        const char* error;  // the error text starts with this
    } cases[] = {
        {"no network keys: the COM port pair", networkSection(""), false, {}, ""},
        {"port alone: RFC 2217 on the loopback", networkSection("4001"), true, loopbackDefaults, ""},
        {"blanks around the port", networkSection(" 4001 "), true, loopbackDefaults, ""},
        {"every key", networkSection("2217", "0.0.0.0", "raw", "10.0.0.5, 10.0.0.6"), true,
         {2217, network::kAnyAddress, NetProtocol::Raw, {ip(10, 0, 0, 5), ip(10, 0, 0, 6)}}, ""},
        {"protocol in capitals", networkSection("4001", "", "RFC2217"), true, loopbackDefaults, ""},
        {"allow list with semicolons and blanks", networkSection("4001", "", "", "1.1.1.1;2.2.2.2  3.3.3.3"), true,
         {4001, network::kLoopbackAddress, NetProtocol::Rfc2217, {ip(1, 1, 1, 1), ip(2, 2, 2, 2), ip(3, 3, 3, 3)}}, ""},
        {"lowest port", networkSection("1"), true, {1, network::kLoopbackAddress, NetProtocol::Rfc2217, {}}, ""},
        {"highest port", networkSection("65535"), true, {65535, network::kLoopbackAddress, NetProtocol::Rfc2217, {}}, ""},
        {"port 0", networkSection("0"), false, {}, "netport: \"0\" is not a TCP port (1 to 65535)"},
        {"port too large", networkSection("65536"), false, {}, "netport: \"65536\" is not a TCP port"},
        {"port of many digits", networkSection("000004001"), false, {}, "netport: \"000004001\" is not a TCP port"},
        {"port with letters", networkSection("40x1"), false, {}, "netport: \"40x1\" is not a TCP port"},
        {"address without a port", networkSection("", "0.0.0.0"), false, {}, "netport: missing"},
        {"allow list without a port", networkSection("", "", "", "1.2.3.4"), false, {}, "netport: missing"},
        {"host name as address", networkSection("4001", "localhost"), false, {}, "netaddress: \"localhost\" is not an IPv4"},
        {"unknown protocol", networkSection("4001", "", "telnet"), false, {}, "netprotocol: \"telnet\" is neither rfc2217 nor raw"},
        {"bad allowed address", networkSection("4001", "", "", "10.0.0.5,10.0.0"), false, {},
         "netallow: \"10.0.0\" is not an IPv4 address"},
        {"0.0.0.0 as a client", networkSection("4001", "", "", "0.0.0.0"), false, {}, "netallow: \"0.0.0.0\" is no client's"},
        {"value too long for the reader", networkSection("4001", "", "", "", kNetallow), false, {}, "netallow: the value is too long"},
        {"takeover on", networkSection("4001", "", "", "", nullptr, "1"), true,
         {4001, network::kLoopbackAddress, NetProtocol::Rfc2217, {}, true}, ""},
        {"takeover off", networkSection("4001", "", "", "", nullptr, "0"), true, loopbackDefaults, ""},
        {"takeover neither 0 nor 1", networkSection("4001", "", "", "", nullptr, "yes"), false, {},
         "nettakeover: \"yes\" is neither 0 nor 1"},
        {"takeover without a port", networkSection("", "", "", "", nullptr, "1"), false, {}, "netport: missing"},
    };
    for (const auto& c : cases) {
        const network::NetworkSettingsParse parsed = parseNetworkSection(c.values);
        EXPECT_EQ(parsed.configured, c.configured) << c.name;
        EXPECT_EQ(parsed.error.rfind(c.error, 0), 0u) << c.name << ": " << parsed.error;
        EXPECT_EQ(parsed.error.empty(), *c.error == '\0') << c.name;
        if (c.configured) {
            EXPECT_EQ(parsed.settings, c.settings) << c.name;
        }
    }
}

TEST(NetworkSection, AllowListIsBounded)
{
    NetworkSectionValues values = networkSection("4001");
    for (std::size_t i = 1; i <= network::kMaxAllowedClients; ++i)
        values.netallow += "10.0.0." + std::to_string(i) + " ";
    EXPECT_EQ(parseNetworkSection(values).settings.allowed.size(), network::kMaxAllowedClients);
    values.netallow += "10.0.0.99";
    EXPECT_EQ(parseNetworkSection(values).error, "netallow: more than 16 addresses");
}

TEST(TrafficRecordSettings, SectionKeys)
{
    const struct {
        const char* name;
        RecordSectionValues values;
        bool configured;
        std::string path;
        uint32_t mib;
        std::string error;
    } rows[] = {
        {"no keys: no record", {}, false, "", 16, ""},
        {"relative path beside the programs", {"logs\\com5.log", ""}, true, "C:\\Dunmere\\bin\\logs\\com5.log", 16, ""},
        {"absolute path as given", {"D:\\Traces\\com5.log", "4"}, true, "D:\\Traces\\com5.log", 4, ""},
        {"blanks inside kept, around dropped", {"  My Traces\\com 5.log ", " 2 "}, true,
         "C:\\Dunmere\\bin\\My Traces\\com 5.log", 2, ""},
        {"largest size", {"a.log", "4096"}, true, "C:\\Dunmere\\bin\\a.log", 4096, ""},
        {"size zero: default used, reported", {"a.log", "0"}, true, "C:\\Dunmere\\bin\\a.log", 16,
         "recordmib: \"0\" is not a size in MiB (1 to 4096), 16 is used"},
        {"size with a unit", {"a.log", "16MB"}, true, "C:\\Dunmere\\bin\\a.log", 16,
         "recordmib: \"16MB\" is not a size in MiB (1 to 4096), 16 is used"},
        {"size without a file", {"", "8"}, false, "", 16, "recordmib: given without recordfile"},
        {"quote in the path", {"a\"b.log", ""}, false, "", 16, "recordfile: \"a\"b.log\" contains a quote"},
        {"value too long for the reader", {"x", "", true}, false, "", 16, "recordfile: the value is too long"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TrafficRecordParse p = parseRecordSection(row.values, "C:\\Dunmere\\bin");
        EXPECT_EQ(p.configured, row.configured);
        EXPECT_EQ(p.settings.path, row.path);
        EXPECT_EQ(p.settings.limitMib, row.mib);
        EXPECT_EQ(p.error, row.error);
    }
}

} // namespace
} // namespace clser::profile
