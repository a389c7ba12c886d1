// The test rig's own parsers under the sanitizers: the simulated camera's configuration,
// the setupc emulator's configuration, state file and command lines, and the emulator's
// list read back by the pair library's parser.
#include "emulator_config.h"
#include "pair_list_parser.h"
#include "pair_table.h"
#include "setupc_command_line.h"
#include "sim_config.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace std::string_literals;

namespace clser {
namespace {

TEST(SimConfigText, BadTextsAreRefusedWithoutHarm)
{
    const struct {
        const char* name;
        std::string text;
        bool ok;
        size_t ports; // of an accepted text
    } rows[] = {
        {"empty", "", true, 1},
        {"largest port count", "ports = 64", true, 64},
        {"port count past 32 bits", "ports = 99999999999999999999", false, 1},
        {"negative port count", "ports = -1", false, 1},
        {"section past the count", "ports = 1\n[port5]\n", false, 1},
        {"refused count after an accepted one", "ports = 2\nports = 65\n", false, 0},
        {"huge refused count after an accepted one", "ports = 2\nports = 100000000\n", false, 0},
        {"section number past 32 bits", "[port4294967296]\n", false, 1},
        {"escape cut at the end", "cmd a = \\x4", false, 1},
        {"escape at the very end", "terminator = \\", false, 1},
        {"dump too large", "dump d = 16777217", false, 1},
        {"NUL bytes", "\0\0\0= \0\n"s, false, 1},
        {"junk", std::string(1 << 20, '\xff'), false, 1},
        {"many lines", std::string(1 << 18, '\n'), true, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const sim::ConfigParseResult r = sim::parseSimConfig(row.text);
        EXPECT_EQ(r.ok(), row.ok);
        // A refused text is not used at all (the stand-in falls back to its defaults).
        if (r.ok())
            EXPECT_EQ(r.config.ports.size(), row.ports);
    }
    std::string out;
    EXPECT_TRUE(sim::unescapeConfigText("\\xff\\x00\\r", &out));
    EXPECT_EQ(out, "\xff\0\r"s);
    EXPECT_FALSE(sim::unescapeConfigText("\\xg0", &out));
    EXPECT_FALSE(sim::unescapeConfigText("\\x+f", &out));
}

TEST(EmulatorConfigText, NumbersAtTheirLimits)
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
        const auto parse = setupc::parseEmulatorConfig(row.text);
        EXPECT_EQ(parse.errors.size(), row.errors);
        EXPECT_EQ(parse.config.firstPair, row.firstPair);
    }
}

TEST(EmulatorPairTable, NumbersAtTheTop)
{
    const auto pairs = setupc::parsePairTable("2147483647 PortName=COM1 PortName=TARVCOM1\n"
                                              "2147483648 PortName=COM2 PortName=TARVCOM2\n"
                                              "-1 PortName=COM3 PortName=TARVCOM3\n");
    ASSERT_EQ(pairs.size(), 1u);
    // Every number from the start up to the largest is taken: there is no free one.
    EXPECT_EQ(setupc::lowestFreePairNumber(pairs, INT_MAX), -1);
    EXPECT_EQ(setupc::lowestFreePairNumber(pairs, 0), 0);
    EXPECT_EQ(setupc::lowestFreePairNumber({}, INT_MAX), INT_MAX);
}

TEST(EmulatorList, ReadsBackThroughThePairListParser)
{
    std::vector<setupc::EmulatedPair> pairs;
    for (int n : {123, 0, 12, 7})
        pairs.push_back({n, "PortName=COM" + std::to_string(n + 10), "PortName=TARVCOM" + std::to_string(n + 10)});
    const auto parse = vcom::parsePairList(setupc::formatPairList(pairs));
    ASSERT_TRUE(parse.valid);
    ASSERT_EQ(parse.pairs.size(), 4u);
    EXPECT_EQ(parse.pairs[0].pairId, "CNC0");
    EXPECT_EQ(parse.pairs[2].pairId, "CNC12");
    EXPECT_EQ(parse.pairs[3].pairId, "CNC123");
    EXPECT_EQ(parse.pairs[3].partnerName, "TARVCOM133");
}

TEST(EmulatorCommandLineText, Limits)
{
    EXPECT_EQ(setupc::parseCommandLine({"remove", "2147483647"}).pairNumber, INT_MAX);
    EXPECT_EQ(setupc::parseCommandLine({"remove", "2147483648"}).kind, setupc::CommandKind::Invalid);
    EXPECT_EQ(setupc::parseCommandLine({"--make-ends", "1"}).kind, setupc::CommandKind::Invalid);
    EXPECT_EQ(setupc::parseCommandLine({"--output"}).kind, setupc::CommandKind::Invalid);
    EXPECT_EQ(setupc::parseCommandLine({}).kind, setupc::CommandKind::Invalid);
    EXPECT_EQ(setupc::portNameOf(","), "");
    EXPECT_EQ(setupc::portNameOf("a,PortName="), "");
    EXPECT_EQ(setupc::portNameOf(std::string(1 << 16, ',') + "PortName=X"), "X");
}

} // namespace
} // namespace clser
