// The camera behind a simulated port: how it splits commands, answers them, echoes,
// dumps, delays and paces its answers. Time is handed in, so nothing here sleeps.
#include "sim_camera.h"

#include <gtest/gtest.h>

using namespace clser::sim;
using namespace std::chrono_literals;

namespace {

const TimePoint t0 = TimePoint() + 1h;

PortConfig cameraConfig()
{
    ConfigParseResult r = parseSimConfig(
        "ignore = \\n\n"
        "unknown = ERR\\r\\n\n"
        "cmd id? = CAM\\r\\n\n"
        "cmd silent = \n"
        "param exp = 1000\n"
        "dump dump = 4\n");
    EXPECT_TRUE(r.ok());
    return r.config.ports.at(0);
}

std::string answerAfter(SimCamera& camera, std::initializer_list<std::string_view> writes)
{
    for (std::string_view w : writes)
        camera.receive(w, t0);
    return camera.take(1 << 20, t0);
}

} // namespace

TEST(SimCamera, AnswersCommandsFromItsTable)
{
    struct Row {
        const char* name;
        std::initializer_list<std::string_view> writes;
        std::string answer;
    };
    const Row rows[] = {
        {"known command", {"id?\r"}, "CAM\r\n"},
        {"command split across writes", {"i", "d", "?", "\r"}, "CAM\r\n"},
        {"nothing before the terminator", {"id?"}, ""},
        {"two commands in one write, in order", {"id?\rexp?\r"}, "CAM\r\n1000\r\n"},
        {"ignored bytes dropped (CR LF works)", {"id?\r\n", "\nid?\r"}, "CAM\r\nCAM\r\n"},
        {"unknown command", {"idx\r"}, "ERR\r\n"},
        {"command with a different case is unknown", {"ID?\r"}, "ERR\r\n"},
        {"bare terminator asks nothing", {"\r\r"}, ""},
        {"command with an empty answer", {"silent\r"}, ""},
        {"value set, then read back", {"exp 250\r", "exp?\r"}, "OK\r\n250\r\n"},
        {"value set with two words is unknown", {"exp 1 2\r", "exp?\r"}, "ERR\r\n1000\r\n"},
        {"value name alone is unknown", {"exp\r"}, "ERR\r\n"},
        {"dump of the default size", {"dump\r"}, std::string("\x00\x01\x02\x03", 4)},
        {"dump of a given size", {"dump 2\r"}, std::string("\x00\x01", 2)},
        {"dump of zero bytes", {"dump 0\r"}, ""},
        {"dump with a bad size", {"dump x\r", "dump -1\r", "dump 99999999\r"}, "ERR\r\nERR\r\nERR\r\n"},
    };
    for (const Row& row : rows) {
        SimCamera camera(cameraConfig());
        EXPECT_EQ(answerAfter(camera, row.writes), row.answer) << row.name;
    }
}

TEST(SimCamera, TerminatorOfSeveralBytes)
{
    PortConfig config = cameraConfig();
    config.terminator = "\r\n";
    config.ignore.clear();
    SimCamera camera(config);
    EXPECT_EQ(answerAfter(camera, {"id?\r"}), "");
    EXPECT_EQ(answerAfter(camera, {"\n"}), "CAM\r\n");
}

TEST(SimCamera, OverlongCommandIsDroppedAndRefused)
{
    SimCamera camera(cameraConfig());
    std::string flood(kMaxCommandBytes + 1, 'a');
    EXPECT_EQ(answerAfter(camera, {flood}), "ERR\r\n");
    EXPECT_EQ(answerAfter(camera, {"id?\r"}), "CAM\r\n") << "the next command starts afresh";
}

TEST(SimCamera, EchoSendsEveryByteBackInOrder)
{
    PortConfig config = cameraConfig();
    config.echo = true;
    SimCamera camera(config);
    std::string sent;
    for (int block = 0; block < 64; ++block) {
        std::string bytes(1024, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>((block * 7 + i) & 0xFF);
        camera.receive(bytes, t0);
        sent += bytes;
    }
    EXPECT_EQ(camera.available(t0), 65536u);
    std::string got = camera.take(1000, t0);
    got += camera.take(1 << 20, t0);
    EXPECT_EQ(got, sent) << "commands, terminators and ignored bytes are not interpreted in echo mode";
}

TEST(SimCamera, DumpPatternCountsUpModulo256)
{
    std::string d = dumpPattern(65536);
    ASSERT_EQ(d.size(), 65536u);
    for (size_t k : {0u, 1u, 255u, 256u, 257u, 65535u})
        EXPECT_EQ(static_cast<unsigned char>(d[k]), k % 256) << k;
}

TEST(SimCamera, AnswerArrivesAfterTheDelay)
{
    PortConfig config = cameraConfig();
    config.answerDelayMs = 300;
    SimCamera camera(config);
    camera.receive("id?\rid?\r", t0);
    EXPECT_EQ(camera.available(t0 + 299ms), 0u);
    EXPECT_EQ(camera.nextArrival(t0), t0 + 300ms);
    EXPECT_EQ(camera.available(t0 + 300ms), 10u);
    EXPECT_EQ(camera.take(3, t0 + 300ms), "CAM");
    EXPECT_EQ(camera.available(t0 + 300ms), 7u);
    EXPECT_FALSE(camera.nextArrival(t0 + 300ms)) << "nothing else on its way";
}

TEST(SimCamera, PacedAnswersTakeTenBitsPerByte)
{
    PortConfig config = cameraConfig();
    config.pace = true;
    SimCamera camera(config);
    camera.setBitsPerSecond(10000);   // one byte per millisecond
    camera.receive("dump 10\rid?\r", t0);
    EXPECT_EQ(camera.available(t0), 0u);
    EXPECT_EQ(camera.nextArrival(t0), t0 + 1ms);
    EXPECT_EQ(camera.available(t0 + 1ms), 1u);
    EXPECT_EQ(camera.available(t0 + 9ms + 999us), 9u);
    EXPECT_EQ(camera.available(t0 + 10ms), 10u);
    EXPECT_EQ(camera.take(4, t0 + 10ms), std::string("\x00\x01\x02\x03", 4));
    EXPECT_EQ(camera.available(t0 + 12ms), 8u) << "the second answer follows the first on the line";
    EXPECT_EQ(camera.nextArrival(t0 + 12ms), t0 + 13ms);
    EXPECT_EQ(camera.available(t0 + 1s), 11u);
}

TEST(SimCamera, ResetLineDropsQueuedBytesButKeepsValues)
{
    SimCamera camera(cameraConfig());
    camera.receive("exp 5\rid?\rid", t0);
    camera.resetLine();
    EXPECT_EQ(camera.available(t0), 0u);
    EXPECT_EQ(answerAfter(camera, {"?\r"}), "ERR\r\n") << "the half-received command is gone";
    EXPECT_EQ(answerAfter(camera, {"exp?\r"}), "5\r\n");
}
