// The traffic record's lines and the word that asks for a record.
#include "traffic_record_line.h"
#include "traffic_record_settings.h"

#include <gtest/gtest.h>

#include <vector>

using namespace clser;

namespace {

const RecordTime kTime{2026, 3, 7, 9, 5, 4, 7};

std::string block(std::string_view direction, const std::vector<uint8_t>& bytes, uint64_t lost = 0)
{
    return blockRecordLine(kTime, direction, bytes.data(), bytes.size(), lost);
}

TEST(TrafficRecordLine, BlocksAndEvents)
{
    std::vector<uint8_t> every(256);
    std::string everyHex, everyText;
    for (int i = 0; i < 256; ++i) {
        every[i] = static_cast<uint8_t>(i);
        static const char kHex[] = "0123456789abcdef";
        everyHex += std::string(" ") + kHex[i >> 4] + kHex[i & 15];
        everyText += i >= 32 && i < 127 ? static_cast<char>(i) : '.';
    }
    const std::vector<uint8_t> full(1024, 0x41);
    std::string fullHex;
    for (int i = 0; i < 1024; ++i)
        fullHex += " 41";
    const struct {
        const char* name;
        std::string line;
        std::string expected;
    } rows[] = {
        {"command towards the camera", block("COM->CL", {'P', 'I', 'N', 'G', '\r'}),
         "2026-03-07 09:05:04.007 COM->CL 5 50 49 4e 47 0d |PING.|"},
        {"every byte value, two hex digits each, the unprintable ones as dots", block("CL->COM", every),
         "2026-03-07 09:05:04.007 CL->COM 256" + everyHex + " |" + everyText + "|"},
        {"empty block", block("CL->COM", {}), "2026-03-07 09:05:04.007 CL->COM 0 ||"},
        {"block of 1024 bytes", block("COM->CL", full), "2026-03-07 09:05:04.007 COM->CL 1024" + fullHex + " |" +
         std::string(1024, 'A') + "|"},
        {"network client in place of COM", block(recordDirection(false, "10.0.0.5:4711"), {'O', 'K'}),
         "2026-03-07 09:05:04.007 CL->10.0.0.5:4711 2 4f 4b |OK|"},
        {"loss named by the next block", block("COM->CL", {'x'}, 4096),
         "2026-03-07 09:05:04.007 COM->CL 1 78 |x| (4096 bytes not recorded)"},
        {"event", eventRecordLine(kTime, "Connection error!", 0), "2026-03-07 09:05:04.007 * Connection error!"},
        {"event keeps one line and names a loss",
         eventRecordLine(kTime, "Error writing\tto COM\n", 12),
         "2026-03-07 09:05:04.007 * Error writing to COM (12 bytes not recorded)"},
        {"lost events named before lost bytes", eventRecordLine(kTime, "Disconnected", 12, 3),
         "2026-03-07 09:05:04.007 * Disconnected (3 events not recorded) (12 bytes not recorded)"},
        {"lost events alone", blockRecordLine(kTime, "COM->CL", nullptr, 0, 0, 1),
         "2026-03-07 09:05:04.007 COM->CL 0 || (1 events not recorded)"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.line, row.expected) << row.name;
    EXPECT_EQ(recordDirection(true, "COM"), "COM->CL");
}

TEST(TrafficRecordSettings, CommandLineWord)
{
    const struct {
        const char* name;
        std::string argument;
        bool configured;
        std::string path;
        uint32_t mib;
    } rows[] = {
        {"as the launcher writes it", "Record=16:C:\\Logs\\Com5.log", true, "C:\\Logs\\Com5.log", 16},
        {"letter case of the word free, of the path kept", "rEcOrD=2:C:\\My Logs\\Com 5, Test.log", true,
         "C:\\My Logs\\Com 5, Test.log", 2},
        {"relative path beside the program", "RECORD=1:com5.log", true, "C:\\Dunmere\\bin\\com5.log", 1},
        {"no size", "Record=C:\\a.log", false, "", 16},
        {"bad size", "Record=0:C:\\a.log", false, "", 16},
        {"no file", "Record=16:", false, "", 16},
        {"not the word", "RECORDS=16:a.log", false, "", 16},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TrafficRecordParse p = parseRecordWord(row.argument, "C:\\Dunmere\\bin");
        EXPECT_EQ(p.configured, row.configured);
        EXPECT_EQ(p.error.empty(), row.configured) << p.error;
        EXPECT_EQ(p.settings.path, row.path);
        EXPECT_EQ(p.settings.limitMib, row.mib);
    }
    TrafficRecordSettings s;
    s.path = "C:\\My Logs\\com5.log";
    s.limitMib = 3;
    EXPECT_EQ(recordWord(s), "Record=3:C:\\My Logs\\com5.log");
    EXPECT_EQ(parseRecordWord(recordWord(s), "").settings, s) << "the word reads back";
}

TEST(TrafficRecordSettings, SameFile)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } rows[] = {
        {"C:\\Logs\\com5.log", "c:/logs/COM5.LOG", true},
        {"C:\\Logs\\com5.log", "C:\\Logs\\.\\old\\..\\\\com5.log. ", true},
        {"C:\\com5.log", "C:\\..\\..\\com5.log", true},
        {"\\\\host\\share\\a.log", "//HOST/share/x/../a.log", true},
        {"C:\\Logs\\com5.log", "C:\\Logs\\com6.log", false},
        {"C:\\Logs\\com5.log", "D:\\Logs\\com5.log", false},
        {"\\\\host\\share\\a.log", "\\\\host\\other\\..\\..\\share\\a.log", false},
        {"C:\\Logs\\a.log", "C:\\Logs.\\a.log", true},
        {"C:\\Logs\\a.log", "C:\\Logs \\a.log", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(recordFileKey(row.a) == recordFileKey(row.b), row.same) << row.a << " " << row.b;
}

TEST(TrafficRecordSettings, DeviceNames)
{
    const struct {
        const char* path;
        bool device;
    } rows[] = {
        {"NUL", true},          {"C:\\logs\\nul.log", true}, {"C:\\logs\\Com1", true},
        {"lpt9.txt", true},     {"C:\\logs\\CON .log", true}, {"\\\\.\\COM25", true},
        {"\\\\?\\C:\\a.log", true}, {"conin$", true},        {"C:\\logs\\com10.log", false},
        {"C:\\logs\\com0.log", false}, {"C:\\nul\\a.log", false}, {"C:\\logs\\console.log", false},
        {"COM5:", true},        {"NUL:", true},              {"C:\\logs\\COM1:x", true},
        {"C:x.log", true},      {"C:\\logs\\a.log:x", true}, {"\\\\host\\pipe\\x", true},
        {"\\\\host\\MailSlot\\x", true}, {"//host/pipe/x", true}, {"\\\\.\\pipe\\x", true},
        {"C:/logs/a.log", false}, {"\\\\host\\share\\pipe\\a.log", false}, {"\\\\host\\pipes\\a.log", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(namesDevice(row.path), row.device) << row.path;
}

} // namespace
