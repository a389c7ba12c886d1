// The simulated camera's configuration text: what a good file sets, how escapes turn
// into bytes, and that every kind of bad line is refused with its line number.
#include "sim_config.h"

#include <gtest/gtest.h>

using namespace clser::sim;

namespace {

const char kGoodFile[] =
    "# two cameras\n"
    "ports = 2\n"
    "terminator = \\r\\n\n"
    "delay = 25\n"
    "receive_buffer = 512\n"
    "cmd id? = CAM = 7\\r\\n\n"
    "\n"
    "[port1]\n"
    "  ; indented comment\n"
    "echo = yes\n"
    "pace = on\n"
    "tick_timeouts = yes\n"
    "exclusive = no\n"
    "baud_rates = 1, 115200,128\n"
    "unknown =\n"
    "ok = done\\n\n"
    "reply_end = \\n\n"
    "ignore = \\x00\n"
    "receive_log = C:\\temp\\rx.log\n"
    "receive_buffer = 0\n"
    "overflow_log = C:\\temp\\overflow.txt\n"
    "strict = off\n"
    "overlap_log = C:\\temp\\overlaps.txt\n"
    "in_use = true\n"
    "short_write_every = 3\n"
    "short_write_bytes = 2\n"
    "read_error_every = 4\n"
    "read_error_code = -10099\n"
    "write_error_every = 5\n"
    "write_error_code = -10004\n"
    "param exp = 1000\n"
    "dump dump = 64\n"
    "cmd set mode\\x3D1 = OK\r\n";   // a Windows line end too

} // namespace

TEST(SimConfig, GoodFileSetsEveryKey)
{
    ConfigParseResult r = parseSimConfig(kGoodFile);
    ASSERT_TRUE(r.ok()) << r.errors.front();
    ASSERT_EQ(r.config.ports.size(), 2u);

    const PortConfig& p0 = r.config.ports[0];
    EXPECT_EQ(p0.terminator, "\r\n");
    EXPECT_EQ(p0.answerDelayMs, 25u);
    EXPECT_EQ(p0.commands.at("id?"), "CAM = 7\r\n") << "the first '=' separates, later ones belong to the answer";
    EXPECT_FALSE(p0.echo);
    EXPECT_TRUE(p0.exclusive);
    EXPECT_EQ(p0.baudRates, 0xFFu);
    EXPECT_EQ(p0.receiveBuffer, 512u);
    EXPECT_FALSE(p0.tickTimeouts);
    EXPECT_TRUE(p0.strict) << "on unless a file turns it off";
    EXPECT_TRUE(p0.params.empty());

    const PortConfig& p1 = r.config.ports[1];
    EXPECT_EQ(p1.terminator, "\r\n") << "a section starts from the keys before the first section";
    EXPECT_EQ(p1.answerDelayMs, 25u);
    EXPECT_EQ(p1.commands.at("id?"), "CAM = 7\r\n");
    EXPECT_EQ(p1.commands.at("set mode=1"), "OK");
    EXPECT_TRUE(p1.echo);
    EXPECT_TRUE(p1.pace);
    EXPECT_TRUE(p1.tickTimeouts);
    EXPECT_FALSE(p1.exclusive);
    EXPECT_EQ(p1.baudRates, 1u | 16u | 128u) << "constants and rates in bits per second both count";
    EXPECT_EQ(p1.unknownAnswer, "");
    EXPECT_EQ(p1.okAnswer, "done\n");
    EXPECT_EQ(p1.replyEnd, "\n");
    EXPECT_EQ(p1.ignore, std::string(1, '\0'));
    EXPECT_EQ(p1.receiveLog, "C:\\temp\\rx.log") << "a path is taken as written";
    EXPECT_EQ(p1.receiveBuffer, 0u) << "0: unbounded";
    EXPECT_EQ(p1.overflowLog, "C:\\temp\\overflow.txt");
    EXPECT_FALSE(p1.strict);
    EXPECT_EQ(p1.overlapLog, "C:\\temp\\overlaps.txt");
    EXPECT_TRUE(p1.faults.portInUse);
    EXPECT_EQ(p1.faults.shortWriteEvery, 3u);
    EXPECT_EQ(p1.faults.shortWriteBytes, 2u);
    EXPECT_EQ(p1.faults.readErrorEvery, 4u);
    EXPECT_EQ(p1.faults.readErrorCode, -10099);
    EXPECT_EQ(p1.faults.writeErrorEvery, 5u);
    EXPECT_EQ(p1.faults.writeErrorCode, -10004);
    EXPECT_EQ(p1.params.at("exp"), "1000");
    EXPECT_EQ(p1.dumps.at("dump"), 64u);
}

TEST(SimConfig, PortCountFollowsSectionsWhenNotGiven)
{
    struct Row {
        const char* name;
        const char* text;
        size_t ports;
    };
    const Row rows[] = {
        {"empty file: one port", "", 1},
        {"highest section decides", "[port0]\n[port3]\n", 4},
        {"explicit count beyond sections", "ports = 5\n[port1]\n", 5},
        {"no ports at all", "ports = 0\n", 0},
    };
    for (const Row& row : rows) {
        ConfigParseResult r = parseSimConfig(row.text);
        EXPECT_TRUE(r.ok()) << row.name;
        EXPECT_EQ(r.config.ports.size(), row.ports) << row.name;
    }
}

TEST(SimConfig, EscapesBecomeBytes)
{
    struct Row {
        const char* name;
        const char* text;
        bool ok;
        std::string bytes;
    };
    const Row rows[] = {
        {"plain text", "abc", true, "abc"},
        {"carriage return and line feed", "a\\r\\n", true, "a\r\n"},
        {"tab", "\\t", true, "\t"},
        {"backslash", "C:\\\\x", true, "C:\\x"},
        {"hex byte, either case", "\\x41\\x0d\\xFf", true, std::string("A\r\xff", 3)},
        {"hex zero byte", "a\\x00b", true, std::string("a\0b", 3)},
        {"unknown escape", "\\q", false, ""},
        {"backslash at the end", "ab\\", false, ""},
        {"one hex digit only", "\\x4", false, ""},
        {"not hex digits", "\\xZZ", false, ""},
        {"sign is not a digit", "\\x+1", false, ""},
    };
    for (const Row& row : rows) {
        std::string out;
        EXPECT_EQ(unescapeConfigText(row.text, &out), row.ok) << row.name;
        if (row.ok) {
            EXPECT_EQ(out, row.bytes) << row.name;
        }
    }
}

TEST(SimConfig, BadLinesAreRefusedWithTheirLineNumber)
{
    struct Row {
        const char* name;
        const char* text;
        const char* where;
    };
    const Row rows[] = {
        {"line without '='", "ports = 1\nhello\n", "line 2:"},
        {"unknown key", "colour = red\n", "line 1:"},
        {"unknown table kind", "macro x = y\n", "line 1:"},
        {"not a yes/no", "echo = maybe\n", "line 1:"},
        {"tick time-outs not a yes/no", "tick_timeouts = 15.625\n", "line 1:"},
        {"strict not a yes/no", "strict = always\n", "line 1:"},
        {"delay not a number", "delay = 10ms\n", "line 1:"},
        {"negative count", "short_write_every = -1\n", "line 1:"},
        {"receive buffer with a unit", "receive_buffer = 4k\n", "line 1:"},
        {"negative receive buffer", "receive_buffer = -1\n", "line 1:"},
        {"receive buffer past 32 bits", "receive_buffer = 4294967296\n", "line 1:"},
        {"error code not negative", "read_error_code = 5\n", "line 1:"},
        {"baud rate that is no constant", "baud_rates = 1,3\n", "line 1:"},
        {"odd bits per second", "baud_rates = 14400\n", "line 1:"},
        {"empty terminator", "terminator =\n", "line 1:"},
        {"bad escape in answer", "cmd a = \\q\n", "line 1:"},
        {"bad escape in command", "cmd \\q = x\n", "line 1:"},
        {"value of two words", "param exp = 1 000\n", "line 1:"},
        {"dump too large", "dump d = 99999999\n", "line 1:"},
        {"bad section name", "[camera0]\n", "line 1:"},
        {"section number too large", "[port64]\n", "line 1:"},
        {"section twice", "[port0]\n[port0]\n", "line 2:"},
        {"port count inside a section", "[port0]\nports = 1\n", "line 2:"},
        {"too many ports", "ports = 65\n", "line 1:"},
        {"section beyond the count", "ports = 1\n[port1]\n", "beyond the port count"},
    };
    for (const Row& row : rows) {
        ConfigParseResult r = parseSimConfig(row.text);
        ASSERT_FALSE(r.ok()) << row.name;
        EXPECT_NE(r.errors.front().find(row.where), std::string::npos) << row.name << ": " << r.errors.front();
    }
}

// Texts no one writes by hand: a refused text is not used at all (the stand-in falls back
// to its defaults), and nothing reads past what it was given.
TEST(SimConfig, HostileTextsAreRefusedWithoutHarm)
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
        {"refused count after an accepted one", "ports = 2\nports = 65\n", false, 0},
        {"huge refused count after an accepted one", "ports = 2\nports = 100000000\n", false, 0},
        {"section number past 32 bits", "[port4294967296]\n", false, 1},
        {"escape cut at the end", "cmd a = \\x4", false, 1},
        {"escape at the very end", "terminator = \\", false, 1},
        {"dump one past the largest", "dump d = 16777217", false, 1},
        {"NUL bytes", std::string("\0\0\0= \0\n", 7), false, 1},
        {"junk", std::string(1 << 20, '\xff'), false, 1},
        {"many lines", std::string(1 << 18, '\n'), true, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ConfigParseResult r = parseSimConfig(row.text);
        EXPECT_EQ(r.ok(), row.ok);
        if (r.ok()) {
            EXPECT_EQ(r.config.ports.size(), row.ports);
        }
    }
}

TEST(SimConfig, EveryBadLineIsReported)
{
    ConfigParseResult r = parseSimConfig("echo = maybe\nports = 1\nbogus\n");
    EXPECT_EQ(r.errors.size(), 2u);
}

TEST(SimConfig, DefaultsAreTwoPortsOfASimpleCamera)
{
    ConfigParseResult r = parseSimConfig(defaultConfigText());
    ASSERT_TRUE(r.ok()) << r.errors.front();
    ASSERT_EQ(r.config.ports.size(), 2u);
    for (const PortConfig& p : r.config.ports) {
        EXPECT_EQ(p.terminator, "\r");
        EXPECT_EQ(p.ignore, "\n");
        EXPECT_EQ(p.commands.count("id?"), 1u);
        EXPECT_EQ(p.commands.count("ver?"), 1u);
        EXPECT_EQ(p.params.count("exp"), 1u);
        EXPECT_EQ(p.params.count("gain"), 1u);
        EXPECT_EQ(p.dumps.count("dump"), 1u);
        EXPECT_FALSE(p.echo);
        EXPECT_TRUE(p.exclusive);
        EXPECT_EQ(p.receiveBuffer, 4096u);
    }
    EXPECT_EQ(r.config.ports[0].commands.at("sn?"), "SIM-0000\r\n");
    EXPECT_EQ(r.config.ports[1].commands.at("sn?"), "SIM-0001\r\n");
}
