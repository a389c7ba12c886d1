// The setupc emulator's own decisions: its command lines, its configuration and its
// pair table. The library's tests rely on all three.
#include "emulator_config.h"
#include "pair_list_parser.h"
#include "pair_table.h"
#include "setupc_command_line.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace clser::setupc;

namespace {

struct CommandCase {
    const char* name;
    std::vector<std::string> args;
    CommandKind kind;
    std::string outputFile;
    int pairNumber;
};

const CommandCase kCommandCases[] = {
    {"list_to_file", {"--output", "C:\\T\\TarvVirtualCom.txt", "list"}, CommandKind::List,
     "C:\\T\\TarvVirtualCom.txt", -1},
    {"list_to_console", {"list"}, CommandKind::List, "", -1},
    {"install_two_ends", {"--silent", "install", "PortName=COM5", "PortName=TARVCOM5"}, CommandKind::Install, "",
     -1},
    {"remove_pair", {"--silent", "remove", "12"}, CommandKind::Remove, "", 12},
    {"make_ends", {"--make-ends", "3", "2500"}, CommandKind::MakeEnds, "", 3},
    {"install_without_port_name", {"--silent", "install", "EmuBR=yes", "PortName=TARVCOM5"},
     CommandKind::Invalid, "", -1},
    {"install_one_end", {"--silent", "install", "PortName=COM5"}, CommandKind::Invalid, "", -1},
    {"remove_without_number", {"--silent", "remove", "CNC1"}, CommandKind::Invalid, "", -1},
    {"output_without_file", {"--output"}, CommandKind::Invalid, "", -1},
    {"unknown_command", {"--silent", "uninstall"}, CommandKind::Invalid, "", -1},
    {"no_command", {}, CommandKind::Invalid, "", -1},
    {"remove_largest_pair_number", {"remove", "2147483647"}, CommandKind::Remove, "", INT_MAX},
    {"remove_pair_number_past_int", {"remove", "2147483648"}, CommandKind::Invalid, "", -1},
    {"make_ends_without_delay", {"--make-ends", "1"}, CommandKind::Invalid, "", -1},
};

class EmulatorCommandLine : public testing::TestWithParam<CommandCase> {};

TEST_P(EmulatorCommandLine, Parses)
{
    const auto& c = GetParam();
    const Command command = parseCommandLine(c.args);
    EXPECT_EQ(command.kind, c.kind) << command.error;
    EXPECT_EQ(command.outputFile, c.outputFile);
    EXPECT_EQ(command.pairNumber, c.pairNumber);
}

INSTANTIATE_TEST_SUITE_P(Cases, EmulatorCommandLine, testing::ValuesIn(kCommandCases),
                         [](const testing::TestParamInfo<CommandCase>& info) { return info.param.name; });

TEST(EmulatorCommandLine, PortNameAmongParameters)
{
    EXPECT_EQ(portNameOf("PortName=COM5"), "COM5");
    EXPECT_EQ(portNameOf("EmuBR=yes,PortName=TARVCOM5,EmuOverrun=yes"), "TARVCOM5");
    EXPECT_EQ(portNameOf("EmuBR=yes"), "");
    EXPECT_EQ(portNameOf(","), "");
    EXPECT_EQ(portNameOf("a,PortName="), "");
    EXPECT_EQ(portNameOf(std::string(1 << 16, ',') + "PortName=X"), "X");
}

TEST(EmulatorConfig, EveryKey)
{
    const auto parsed = parseEmulatorConfig("# faults\n"
                                            "install_hang_ms = 31000\n"
                                            "list_hang_ms=32000  # list too\n"
                                            "list = malformed\n"
                                            "list_text = /tmp/list.txt\n"
                                            "list_params = EmuBR=yes,cts=rrts\n"
                                            "ends = after 2500\n"
                                            "first_pair = 10\n"
                                            "log = C:\\setupc.log\n");
    ASSERT_TRUE(parsed.errors.empty()) << parsed.errors.front();
    EXPECT_EQ(parsed.config.installHangMs, 31000u);
    EXPECT_EQ(parsed.config.listHangMs, 32000u);
    EXPECT_EQ(parsed.config.list, ListMode::Malformed);
    EXPECT_EQ(parsed.config.listTextFile, "/tmp/list.txt");
    EXPECT_EQ(parsed.config.listParams, "EmuBR=yes,cts=rrts");
    EXPECT_EQ(parsed.config.ends, EndsMode::After);
    EXPECT_EQ(parsed.config.endsDelayMs, 2500u);
    EXPECT_EQ(parsed.config.firstPair, 10);
    EXPECT_EQ(parsed.config.logFile, "C:\\setupc.log");
}

TEST(EmulatorConfig, MistakesNamedByLine)
{
    const auto parsed = parseEmulatorConfig("ends = later\nhang = 1\nfirst_pair = -1\njust words\n");
    EXPECT_EQ(parsed.errors, (std::vector<std::string>{"line 1: ends is now, never or after <ms>",
                                                       "line 2: unknown key hang", "line 3: a pair number expected",
                                                       "line 4: key = value expected"}));
}

TEST(EmulatorConfig, NumbersAtTheirLimits)
{
    const struct {
        const char* name;
        std::string text;
        size_t errors;
        int firstPair;
    } rows[] = {
        {"largest pair number", "first_pair = 2147483647", 0, INT_MAX},
        {"one past it", "first_pair = 2147483648", 1, 0},
        {"eleven digits", "first_pair = 99999999999", 1, 0},
        {"delay at 32 bits", "ends = after 4294967295", 0, 0},
        {"delay past 32 bits", "ends = after 4294967296", 1, 0},
        {"no value", "list_hang_ms =", 1, 0},
        {"binary", "\x01\x02=\x03\n\xff", 2, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto parse = parseEmulatorConfig(row.text);
        EXPECT_EQ(parse.errors.size(), row.errors);
        EXPECT_EQ(parse.config.firstPair, row.firstPair);
    }
}

TEST(EmulatorPairTable, StateFileRoundTripAndLowestFreeNumber)
{
    const std::vector<EmulatedPair> pairs{{0, "PortName=COM10", "PortName=TARVCOM10"},
                                          {2, "PortName=COM12", "PortName=TARVCOM12"}};
    EXPECT_EQ(parsePairTable(formatPairTable(pairs)), pairs);
    EXPECT_EQ(parsePairTable("0 PortName=COM1\nx a b\n1 a b c\n3 PortName=COM3 PortName=TARVCOM3\n"),
              (std::vector<EmulatedPair>{{3, "PortName=COM3", "PortName=TARVCOM3"}}));
    EXPECT_EQ(lowestFreePairNumber(pairs, 0), 1);
    EXPECT_EQ(lowestFreePairNumber(pairs, 2), 3);
    EXPECT_EQ(lowestFreePairNumber({}, 10), 10);
}

TEST(EmulatorPairTable, NumbersAtTheTop)
{
    const auto pairs = parsePairTable("2147483647 PortName=COM1 PortName=TARVCOM1\n"
                                      "2147483648 PortName=COM2 PortName=TARVCOM2\n"
                                      "-1 PortName=COM3 PortName=TARVCOM3\n");
    ASSERT_EQ(pairs.size(), 1u);
    // Every number from the start up to the largest is taken: there is no free one.
    EXPECT_EQ(lowestFreePairNumber(pairs, INT_MAX), -1);
    EXPECT_EQ(lowestFreePairNumber(pairs, 0), 0);
    EXPECT_EQ(lowestFreePairNumber({}, INT_MAX), INT_MAX);
}

TEST(EmulatorPairTable, ListInCom0comFormatByPairNumber)
{
    const std::vector<EmulatedPair> pairs{{12, "PortName=COM12", "PortName=TARVCOM12"},
                                          {0, "PortName=COM5", "PortName=TARVCOM5"}};
    EXPECT_EQ(formatPairList(pairs), "       CNCA0 PortName=COM5\n"
                                     "       CNCB0 PortName=TARVCOM5\n"
                                     "       CNCA12 PortName=COM12\n"
                                     "       CNCB12 PortName=TARVCOM12\n");
    EXPECT_EQ(formatPairList({}), "");
}

TEST(EmulatorPairTable, ListReadsBackThroughThePairListParser)
{
    std::vector<EmulatedPair> pairs;
    for (int n : {123, 0, 12, 7})
        pairs.push_back({n, "PortName=COM" + std::to_string(n + 10), "PortName=TARVCOM" + std::to_string(n + 10)});
    const auto parse = clser::vcom::parsePairList(formatPairList(pairs));
    ASSERT_TRUE(parse.valid);
    ASSERT_EQ(parse.pairs.size(), 4u);
    EXPECT_EQ(parse.pairs[0].pairId, "CNC0");
    EXPECT_EQ(parse.pairs[2].pairId, "CNC12");
    EXPECT_EQ(parse.pairs[3].pairId, "CNC123");
    EXPECT_EQ(parse.pairs[3].partnerName, "TARVCOM133");
}

} // namespace
