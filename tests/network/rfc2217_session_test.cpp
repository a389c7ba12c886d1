// The RFC 2217 session as a client meets it: option negotiation, the answer to each
// COM-PORT-OPTION command, data with doubled IACs and commands mixed in, any split of
// the stream, and subnegotiations too long or never ended.
#include "rfc2217_session.h"

#include "baud_rate_choice.h"
#include "telnet_bytes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace clser::network {
namespace {

using namespace test;

class RecordingOwner : public Rfc2217Requests {
public:
    uint32_t setBaudRate(uint32_t bitsPerSecond) override
    {
        asked.push_back(bitsPerSecond);
        inForce = fixedAnswer != 0 ? fixedAnswer : rateAfterRequest(bitsPerSecond, inForce);
        return inForce;
    }
    void purge(PurgeKind what) override { purges.push_back(static_cast<int>(what)); }

    uint32_t inForce = 9600;
    uint32_t fixedAnswer = 0;
    std::vector<uint32_t> asked;
    std::vector<int> purges;
};

struct Fed {
    std::string data;
    std::string replies;
};

Fed feedWhole(Rfc2217Session& session, const std::string& input)
{
    Fed out;
    session.feed(input, out.data, out.replies);
    return out;
}

const std::string kModemStateNotice = comPort(107, {0xB0});

TEST(Rfc2217Negotiation, AcceptsComPortBinaryAndSuppressGoAheadRefusesTheRestNeverRepeats)
{
    const struct {
        const char* name;
        std::string input;
        std::string replies;
    } cases[] = {
        {"client will use COM-PORT: agreed, with the modem state once", negotiation(WILL, COM_PORT),
         negotiation(DO, COM_PORT) + kModemStateNotice},
        {"client asks this end for COM-PORT", negotiation(DO, COM_PORT), negotiation(WILL, COM_PORT)},
        {"BINARY both ways", negotiation(DO, BINARY) + negotiation(WILL, BINARY),
         negotiation(WILL, BINARY) + negotiation(DO, BINARY)},
        {"SUPPRESS-GO-AHEAD both ways", negotiation(DO, SGA) + negotiation(WILL, SGA),
         negotiation(WILL, SGA) + negotiation(DO, SGA)},
        {"ECHO refused", negotiation(DO, ECHO_OPTION), negotiation(WONT, ECHO_OPTION)},
        {"client's offer of an unknown option refused", negotiation(WILL, TERMINAL_TYPE),
         negotiation(DONT, TERMINAL_TYPE)},
        {"a repeated request is answered once", negotiation(DO, BINARY) + negotiation(DO, BINARY),
         negotiation(WILL, BINARY)},
        {"repeated offer of COM-PORT answered once",
         negotiation(WILL, COM_PORT) + negotiation(WILL, COM_PORT),
         negotiation(DO, COM_PORT) + kModemStateNotice},
        {"DONT for an option never on: silence", negotiation(DONT, BINARY), ""},
        {"WONT for an option never on: silence", negotiation(WONT, SGA), ""},
        {"WONT for a refused option: silence", negotiation(WONT, ECHO_OPTION), ""},
        {"DONT after DO is acknowledged", negotiation(DO, BINARY) + negotiation(DONT, BINARY),
         negotiation(WILL, BINARY) + negotiation(WONT, BINARY)},
        {"WONT after WILL is acknowledged", negotiation(WILL, COM_PORT) + negotiation(WONT, COM_PORT),
         negotiation(DO, COM_PORT) + kModemStateNotice + negotiation(DONT, COM_PORT)},
        {"pyserial's opening",
         negotiation(DO, ECHO_OPTION) + negotiation(WILL, SGA) + negotiation(DO, SGA) + negotiation(DO, COM_PORT) +
             negotiation(WILL, COM_PORT),
         negotiation(WONT, ECHO_OPTION) + negotiation(DO, SGA) + negotiation(WILL, SGA) + negotiation(WILL, COM_PORT) +
             negotiation(DO, COM_PORT) + kModemStateNotice},
    };
    for (const auto& c : cases) {
        RecordingOwner owner;
        Rfc2217Session session(owner);
        const Fed out = feedWhole(session, c.input);
        EXPECT_EQ(out.replies, c.replies) << c.name;
        EXPECT_EQ(out.data, "") << c.name;
    }
}

TEST(Rfc2217Negotiation, TracksWhichSideAgreedToComPort)
{
    RecordingOwner owner;
    Rfc2217Session session(owner);
    feedWhole(session, negotiation(WILL, COM_PORT));
    EXPECT_TRUE(session.clientComPortEnabled());
    EXPECT_FALSE(session.serverComPortEnabled());
    feedWhole(session, negotiation(DO, COM_PORT));
    EXPECT_TRUE(session.serverComPortEnabled());
}

TEST(Rfc2217ComPortCommands, EachIsAnsweredWithTheValueInForce)
{
    const struct {
        const char* name;
        std::string input;
        std::string replies;
        std::vector<uint32_t> ratesAsked;
        std::vector<int> purges;
        uint32_t ownerAnswer = 0;  // 0: the owner keeps to the eight Camera Link rates
    } cases[] = {
        {"115200 asked and set", comPort(1, {0, 1, 0xC2, 0}), comPort(101, {0, 1, 0xC2, 0}), {115200}, {}},
        {"921600 asked and set", comPort(1, {0, 0x0E, 0x10, 0}), comPort(101, {0, 0x0E, 0x10, 0}), {921600}, {}},
        {"0 asks the rate in force", comPort(1, {0, 0, 0, 0}), comPort(101, {0, 0, 0x25, 0x80}), {0}, {}},
        {"a rate Camera Link lacks: the rate in force", comPort(1, {0, 0, 0x30, 0x39}),
         comPort(101, {0, 0, 0x25, 0x80}), {12345}, {}},
        {"a doubled IAC inside the asked rate", comPort(1, {0, 1, IAC, IAC, 0}), comPort(101, {0, 0, 0x25, 0x80}),
         {0x0001FF00}, {}},
        {"an IAC in the rate in force goes out doubled", comPort(1, {0, 0, 0, 0}),
         comPort(101, {0, 0, IAC, IAC, 0}), {0}, {}, 0xFF00},
        {"a rate of three bytes is no request", comPort(1, {0, 0x25, 0x80}), "", {}, {}},
        {"data size 8", comPort(2, {8}), comPort(102, {8}), {}, {}},
        {"data size 7: 8 in force", comPort(2, {7}), comPort(102, {8}), {}, {}},
        {"data size query", comPort(2, {0}), comPort(102, {8}), {}, {}},
        {"parity none", comPort(3, {1}), comPort(103, {1}), {}, {}},
        {"parity even: none in force", comPort(3, {3}), comPort(103, {1}), {}, {}},
        {"parity query", comPort(3, {0}), comPort(103, {1}), {}, {}},
        {"one stop bit", comPort(4, {1}), comPort(104, {1}), {}, {}},
        {"two stop bits: one in force", comPort(4, {2}), comPort(104, {1}), {}, {}},
        {"stop size query", comPort(4, {0}), comPort(104, {1}), {}, {}},
        {"no flow control", comPort(5, {1}), comPort(105, {1}), {}, {}},
        {"hardware flow control: none in force", comPort(5, {3}), comPort(105, {1}), {}, {}},
        {"XON/XOFF flow control: none in force", comPort(5, {2}), comPort(105, {1}), {}, {}},
        {"flow control query", comPort(5, {0}), comPort(105, {1}), {}, {}},
        {"inbound flow control query", comPort(5, {13}), comPort(105, {14}), {}, {}},
        {"inbound hardware flow control: none in force", comPort(5, {16}), comPort(105, {14}), {}, {}},
        {"break on: there is no break, off in force", comPort(5, {5}), comPort(105, {6}), {}, {}},
        {"break query", comPort(5, {4}), comPort(105, {6}), {}, {}},
        {"DTR on, off, then asked", comPort(5, {8}) + comPort(5, {9}) + comPort(5, {7}),
         comPort(105, {8}) + comPort(105, {9}) + comPort(105, {9}), {}, {}},
        {"RTS on at the start", comPort(5, {10}), comPort(105, {11}), {}, {}},
        {"RTS off, then asked", comPort(5, {12}) + comPort(5, {10}), comPort(105, {12}) + comPort(105, {12}), {}, {}},
        {"an undefined control value is left unanswered", comPort(5, {99}), "", {}, {}},
        {"modem state asked: carrier, DSR and CTS", comPort(7), comPort(107, {0xB0}), {}, {}},
        {"modem state mask set, then asked", comPort(11, {0x10}) + comPort(7),
         comPort(111, {0x10}) + comPort(107, {0x10}), {}, {}},
        {"line state asked with the mask at its start: nothing to report", comPort(6), comPort(106, {0}), {}, {}},
        {"line state mask set (its IAC doubled), then asked", comPort(10, {IAC, IAC}) + comPort(6),
         comPort(110, {IAC, IAC}) + comPort(106, {0x60}), {}, {}},
        {"purge of the receive buffer", comPort(12, {1}), comPort(112, {1}), {}, {1}},
        {"purge of the transmit buffer", comPort(12, {2}), comPort(112, {2}), {}, {2}},
        {"purge of both", comPort(12, {3}), comPort(112, {3}), {}, {3}},
        {"purge of nothing known", comPort(12, {4}) + comPort(12, {0}), "", {}, {}},
        {"flow control suspend and resume ignored", comPort(8) + comPort(9), "", {}, {}},
        {"an unknown command ignored", comPort(50, {1}), "", {}, {}},
        {"another option's subnegotiation ignored", bytes({IAC, SB, TERMINAL_TYPE, 1, IAC, SE}), "", {}, {}},
        {"an empty subnegotiation ignored", bytes({IAC, SB, IAC, SE}), "", {}, {}},
    };
    for (const auto& c : cases) {
        RecordingOwner owner;
        owner.fixedAnswer = c.ownerAnswer;
        Rfc2217Session session(owner);
        const Fed out = feedWhole(session, c.input);
        EXPECT_EQ(out.replies, c.replies) << c.name;
        EXPECT_EQ(out.data, "") << c.name;
        EXPECT_EQ(owner.asked, c.ratesAsked) << c.name;
        EXPECT_EQ(owner.purges, c.purges) << c.name;
    }
}

TEST(Rfc2217DataPath, DataIsUndoubledAndFreedOfCommands)
{
    const struct {
        const char* name;
        std::string input;
        std::string data;
        std::string replies;
    } cases[] = {
        {"text passes", "ID?\r", "ID?\r", ""},
        {"every byte value but IAC passes", bytes({0, 1, 0x7F, 0x80, 0xF0, 0xFA, 0xFE}),
         bytes({0, 1, 0x7F, 0x80, 0xF0, 0xFA, 0xFE}), ""},
        {"a doubled IAC is one data byte", bytes({'a', IAC, IAC, 'b'}), bytes({'a', IAC, 'b'}), ""},
        {"NOP, GO-AHEAD and a stray SE vanish", bytes({'a', IAC, 241, 'b', IAC, 249, IAC, SE, 'c'}), "abc", ""},
        {"negotiation between data", "ab" + negotiation(DO, BINARY) + "cd", "abcd", negotiation(WILL, BINARY)},
        {"subnegotiation between data", "ab" + comPort(2, {8}) + "cd", "abcd", comPort(102, {8})},
        {"a command cuts a subnegotiation short; what follows is data",
         bytes({IAC, SB, COM_PORT, 1, 0}) + negotiation(DO, BINARY) + "x", "x", negotiation(WILL, BINARY)},
        {"CR NUL from a client not sending in BINARY is a bare CR", bytes({'a', '\r', 0, '\r', '\r', 0, 0}),
         bytes({'a', '\r', '\r', '\r', 0}), ""},
        {"CR NUL from a client sending in BINARY passes", negotiation(WILL, BINARY) + bytes({'\r', 0}),
         bytes({'\r', 0}), negotiation(DO, BINARY)},
    };
    for (const auto& c : cases) {
        RecordingOwner owner;
        Rfc2217Session session(owner);
        const Fed out = feedWhole(session, c.input);
        EXPECT_EQ(out.data, c.data) << c.name;
        EXPECT_EQ(out.replies, c.replies) << c.name;
    }
}

TEST(Rfc2217DataPath, OpeningAsksForBinaryAndCrNulPassesOnceTheClientAgrees)
{
    const struct {
        const char* name;
        std::string answer;
        std::string replies;
        std::string data;
    } cases[] = {
        {"client agrees: no reply, CR NUL passes", negotiation(WILL, BINARY) + negotiation(DO, BINARY), "",
         bytes({'\r', 0})},
        {"client refuses: CR NUL is a bare CR", negotiation(WONT, BINARY) + negotiation(DONT, BINARY),
         negotiation(WONT, BINARY), "\r"},
    };
    for (const auto& c : cases) {
        RecordingOwner owner;
        Rfc2217Session session(owner);
        EXPECT_EQ(session.opening(), negotiation(WILL, BINARY) + negotiation(DO, BINARY)) << c.name;
        const Fed out = feedWhole(session, c.answer + bytes({'\r', 0}));
        EXPECT_EQ(out.replies, c.replies) << c.name;
        EXPECT_EQ(out.data, c.data) << c.name;
    }
}

TEST(Rfc2217DataPath, AnySplitOfTheStreamGivesTheSameResult)
{
    const std::string stream = negotiation(DO, ECHO_OPTION) + negotiation(WILL, SGA) + negotiation(WILL, COM_PORT) +
                               comPort(1, {0, 1, 0xC2, 0}) + comPort(2, {8}) + comPort(12, {1}) +
                               bytes({'G', IAC, IAC, 'X', IAC, 241}) + comPort(1, {0, 1, IAC, IAC, 0}) + bytes({'\r', 0});
    RecordingOwner wholeOwner;
    Rfc2217Session whole(wholeOwner);
    const Fed expected = feedWhole(whole, stream);
    ASSERT_EQ(expected.data, bytes({'G', IAC, 'X', '\r'}));

    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        RecordingOwner owner;
        Rfc2217Session session(owner);
        Fed out;
        session.feed(std::string_view(stream).substr(0, cut), out.data, out.replies);
        session.feed(std::string_view(stream).substr(cut), out.data, out.replies);
        EXPECT_EQ(out.data, expected.data) << "cut at " << cut;
        EXPECT_EQ(out.replies, expected.replies) << "cut at " << cut;
        EXPECT_EQ(owner.asked, wholeOwner.asked) << "cut at " << cut;
    }
    RecordingOwner owner;
    Rfc2217Session session(owner);
    Fed out;
    for (char c : stream)
        session.feed(std::string_view(&c, 1), out.data, out.replies);
    EXPECT_EQ(out.data, expected.data) << "byte by byte";
    EXPECT_EQ(out.replies, expected.replies) << "byte by byte";
}

TEST(Rfc2217Bounds, OversizedOrEndlessSubnegotiationsAreDiscardedSafely)
{
    RecordingOwner owner;
    Rfc2217Session session(owner);
    // A baud-rate request padded far past any buffer: dropped whole, nothing asked.
    std::string padded = bytes({IAC, SB, COM_PORT, 1, 0, 1, 0xC2, 0});
    padded += std::string(Rfc2217Session::kMaxSubnegotiation * 4, '\x01');
    padded += bytes({IAC, SE});
    Fed out = feedWhole(session, padded + comPort(1, {0, 0, 0x4B, 0}) + "ok");
    EXPECT_EQ(out.replies, comPort(101, {0, 0, 0x4B, 0})) << "only the well-formed request that follows";
    EXPECT_EQ(owner.asked, std::vector<uint32_t>{19200});
    EXPECT_EQ(out.data, "ok");

    // A subnegotiation that never ends takes every byte (a megabyte here) without growing
    // anything, until its IAC SE.
    out = feedWhole(session, bytes({IAC, SB, COM_PORT, 2}));
    const std::string megabyte(1 << 20, 'z');
    for (int i = 0; i < 4; ++i)
        out = feedWhole(session, megabyte);
    EXPECT_EQ(out.data, "");
    EXPECT_EQ(out.replies, "");
    out = feedWhole(session, bytes({IAC, SE}) + "after");
    EXPECT_EQ(out.data, "after");
    EXPECT_EQ(out.replies, "") << "the overlong subnegotiation is not answered";
}

TEST(Rfc2217Bounds, GarbageNeverYieldsMoreDataThanItHolds)
{
    std::mt19937 random(2217);
    for (int round = 0; round < 200; ++round) {
        RecordingOwner owner;
        Rfc2217Session session(owner);
        std::string input(1 + random() % 600, '\0');
        for (char& c : input)
            c = static_cast<char>(random() % 4 == 0 ? 0xF0 + random() % 16 : random() % 256);
        const Fed out = feedWhole(session, input);
        EXPECT_LE(out.data.size(), input.size());
        // No reply is longer than 14 bytes, and none comes from fewer than 3 bytes of input.
        EXPECT_LE(out.replies.size(), input.size() / 3 * 14 + 14);
    }
}

TEST(Rfc2217Escape, CameraBytesGoOutWithIacDoubled)
{
    const struct {
        const char* name;
        std::string bytes;
        std::string sent;
    } cases[] = {
        {"nothing", "", ""},
        {"text unchanged", "OK\r", "OK\r"},
        {"one IAC", bytes({IAC}), bytes({IAC, IAC})},
        {"IACs among data", bytes({1, IAC, IAC, 2, 0xFE}), bytes({1, IAC, IAC, IAC, IAC, 2, 0xFE})},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        appendEscapedForClient(c.bytes, out);
        EXPECT_EQ(out, "x" + c.sent) << c.name;
    }
}

} // namespace
} // namespace clser::network
