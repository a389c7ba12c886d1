// The camera behind a simulated port: how it splits commands, answers them, echoes,
// dumps, delays and paces its answers, and what the grabber's receive buffer keeps of
// them. Time is handed in, so nothing here sleeps.
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
    config.receiveBuffer = 0;   // all 64 KiB are read in one piece
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

TEST(SimCamera, AnswerWithPausesLeavesInPiecesWithTheLineQuietBetween)
{
    PortConfig config = cameraConfig();
    config.pace = true;
    config.pauseEvery = 4;
    config.pauseMs = 5;
    SimCamera camera(config);
    camera.setBitsPerSecond(10000);   // one byte per millisecond
    camera.receive("dump 10\rid?\r", t0);
    EXPECT_EQ(camera.available(t0 + 4ms), 4u) << "the first piece";
    EXPECT_EQ(camera.available(t0 + 8ms + 999us), 4u) << "the pause";
    EXPECT_EQ(camera.nextArrival(t0 + 9ms), t0 + 10ms);
    EXPECT_EQ(camera.available(t0 + 13ms), 8u) << "the second piece";
    EXPECT_EQ(camera.available(t0 + 18ms), 8u);
    EXPECT_EQ(camera.available(t0 + 20ms), 10u) << "the last piece, shorter";
    EXPECT_EQ(camera.available(t0 + 28ms), 14u) << "the next answer pauses too, being longer than a piece";
    EXPECT_EQ(camera.available(t0 + 1s), 15u);
    EXPECT_EQ(camera.take(15, t0 + 1s).substr(10), "CAM\r\n");
}

TEST(SimCamera, ResetLineDropsQueuedBytesButKeepsValues)
{
    SimCamera camera(cameraConfig());
    camera.receive("exp 5\rid?\rdump 5000\rid", t0);
    ASSERT_GT(camera.dropped(t0), 0u);
    camera.resetLine();
    EXPECT_EQ(camera.available(t0), 0u);
    EXPECT_EQ(camera.dropped(t0), 0u) << "the count starts again at each open";
    EXPECT_EQ(answerAfter(camera, {"?\r"}), "ERR\r\n") << "the half-received command is gone";
    EXPECT_EQ(answerAfter(camera, {"exp?\r"}), "5\r\n");
}

TEST(SimCamera, FullReceiveBufferDropsTheNewestBytes)
{
    using us = std::chrono::microseconds;
    struct Row {
        const char* name;
        uint32_t buffer;
        bool paced;           // at 921600 bit/s: 64 KiB take 711 ms
        const char* command;
        us readEvery;         // zero: one read at `until`
        std::chrono::milliseconds until;
        std::string received;
        uint64_t dropped;
    };
    const Row rows[] = {
        {"unpaced answer larger than the buffer keeps its first bytes", 4096, false, "dump 65536\r", us(0), 0ms,
         dumpPattern(4096), 61440},
        {"a later answer loses what does not fit", 100, false, "dump 98\rid?\r", us(0), 0ms,
         dumpPattern(98) + "CA", 3},
        {"0 is unbounded", 0, false, "dump 65536\r", us(0), 0ms, dumpPattern(65536), 0},
        {"paced 64 KiB read every 40 ms (3686 bytes) lose nothing", 4096, true, "dump 65536\r", 40ms, 800ms,
         dumpPattern(65536), 0},
        {"paced 64 KiB read after a pause keep the buffer's worth", 4096, true, "dump 65536\r", us(0), 10s,
         dumpPattern(4096), 61440},
        {"paced, read every 2 ms (184 bytes) into 100: what came after the 100th is lost", 100, true,
         "dump 300\r", 2ms, 4ms, dumpPattern(300).substr(0, 100) + dumpPattern(300).substr(184, 100), 100},
    };
    for (const Row& row : rows) {
        PortConfig config = cameraConfig();
        config.receiveBuffer = row.buffer;
        config.pace = row.paced;
        SimCamera camera(config);
        camera.setBitsPerSecond(921600);
        camera.receive(row.command, t0);
        std::string got;
        const us step = row.readEvery.count() > 0 ? row.readEvery : us(row.until);
        for (us t = step;; t += step) {
            got += camera.take(1 << 24, t0 + t);
            if (t >= row.until)
                break;
        }
        EXPECT_EQ(got.size(), row.received.size()) << row.name;
        EXPECT_TRUE(got == row.received) << row.name << ": the buffer keeps the oldest bytes, in order";
        EXPECT_EQ(camera.dropped(t0 + row.until + 1s), row.dropped) << row.name;
    }
}
