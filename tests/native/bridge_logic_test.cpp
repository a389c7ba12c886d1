// The bridge's line settings parser, error table and trace lines, natively under the
// address and undefined-behaviour sanitizers: a few rows that pin the results, then
// inputs no launcher writes (huge, empty, binary, numbers past every integer type).
#include "connection_settings.h"
#include "trace_line.h"
#include "windows_error_status.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace std::string_literals;

namespace clser {
namespace {

struct LineRow {
    const char* name;
    std::string text;
    uint32_t baudRate;
    int32_t clBaudCode;
    int32_t parity;
    uint32_t dataBits;
    int32_t stopBits;
};

ConnectionSettings parsed(const std::string& text)
{
    ConnectionSettings s;
    // Start from values no field would produce, so a field left untouched shows.
    s.baudRate = 1;
    s.clBaudCode = -7;
    s.parity = -7;
    s.dataBits = 77;
    s.stopBits = -7;
    parseLineSettings(text, s);
    return s;
}

TEST(LineSettings, FieldsAndFallbacks)
{
    const LineRow rows[] = {
        {"all four recognised", "115200,E,7,2", 115200, 16, 2, 7, 2},
        {"fastest rate", "921600,O,5,1.5", 921600, 128, 1, 5, 1},
        {"rate without a code falls back", "4800,N,8,1", 9600, 1, 0, 8, 0},
        {"ten data bits fall back", "9600,N,10,1", 9600, 1, 0, 8, 0},
        {"unknown parity and one and a half stop bits", "9600,M,8,1.5", 9600, 1, 0, 8, 1},
        {"lower case is not recognised", "9600,e,8,2", 9600, 1, 0, 8, 2},
        {"leading zeros still spell a data bit count", "9600,N,0007,1", 9600, 1, 0, 7, 0},
        {"no comma repeats the one part", "19200", 19200, 2, 0, 8, 0},
        {"one comma repeats the second part", "38400,E", 38400, 4, 2, 8, 0},
        {"blank around a field is not trimmed", " 9600,N , 8,1 ", 9600, 1, 0, 8, 0},
        {"empty text", "", 9600, 1, 0, 8, 0},
        {"commas only", ",,,", 9600, 1, 0, 8, 0},
        {"fourth field keeps later commas", "57600,O,6,2,2", 57600, 8, 1, 6, 0},
        {"data bits past 64 bits", "9600,N,184467440737095516160000000000000007,1", 9600, 1, 0, 8, 0},
        {"baud rate past 64 bits", "99999999999999999999999999999,N,8,1", 9600, 1, 0, 8, 0},
        {"NUL inside the rate", "96\0"s "00,N,8,1", 9600, 1, 0, 8, 0},
        {"NUL after a full field", "115200\0"s ",E,7,2", 9600, 1, 2, 7, 2},
        {"high bytes", "\xff\xfe,\x80,\xe9,\x01", 9600, 1, 0, 8, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ConnectionSettings s = parsed(row.text);
        EXPECT_EQ(s.baudRate, row.baudRate);
        EXPECT_EQ(s.clBaudCode, row.clBaudCode);
        EXPECT_EQ(s.parity, row.parity);
        EXPECT_EQ(s.dataBits, row.dataBits);
        EXPECT_EQ(s.stopBits, row.stopBits);
    }
}

TEST(LineSettings, HugeTextsEndInTheAcceptedValues)
{
    const std::string huge[] = {
        std::string(1 << 20, ','),
        std::string(1 << 20, '9'),
        "9600,N,8," + std::string(1 << 20, '1'),
        std::string(1 << 20, '\0'),
        "115200,E," + std::string(1 << 20, '0') + "7,2",
    };
    for (const auto& text : huge) {
        const ConnectionSettings s = parsed(text);
        EXPECT_EQ(clBaudCodeForRate(s.baudRate), s.clBaudCode);
        EXPECT_LE(s.parity, 2);
        EXPECT_GE(s.dataBits, 5u);
        EXPECT_LE(s.dataBits, 9u);
        EXPECT_LE(s.stopBits, 2);
    }
    // Leading zeros of any length still spell the digit at the end.
    EXPECT_EQ(parsed(huge[4]).dataBits, 7u);
}

TEST(LineSettings, RatesAndCodesMapBothWays)
{
    for (int32_t code = 1; code <= 128; code <<= 1)
        EXPECT_EQ(clBaudCodeForRate(baudRateForClBaudCode(code)), code);
    EXPECT_EQ(clBaudCodeForRate(0), 0);
    EXPECT_EQ(clBaudCodeForRate(UINT32_MAX), 0);
    EXPECT_EQ(baudRateForClBaudCode(INT32_MIN), 9600u);
    EXPECT_EQ(baudRateForClBaudCode(3), 9600u);
    EXPECT_STREQ(parityLetter(INT32_MIN), "n");
    EXPECT_STREQ(parityLetter(2), "e");
    EXPECT_STREQ(stopBitsLabel(INT32_MAX), "1");
    EXPECT_STREQ(stopBitsLabel(1), "1.5");
}

TEST(ErrorTable, RowsOfTheTable)
{
    const struct {
        uint32_t windowsError;
        int errorNumber;
    } rows[] = {
        {0, 0},     {2, 2},     {3, 2},     {126, 2},   {4, 24},    {113, 24},  {5, 13},   {6, 9},
        {8, 12},    {84, 12},   {1450, 12}, {1455, 12}, {31, 19},   {1100, 19}, {39, 28},  {112, 28},
        {54, 16},   {170, 16},  {231, 16},  {80, 17},   {142, 17},  {87, 22},   {114, 22}, {123, 22},
        {124, 22},  {160, 22},  {109, 32},  {230, 32},  {232, 32},  {233, 32},  {119, 40}, {120, 40},
        {121, 138}, {1460, 138}, {127, 3},  {128, 10},  {995, 4},   {1117, 5},
        // Neighbours of the ranges and the ends of the type.
        {1449, 14}, {1456, 14}, {1, 14},    {UINT32_MAX, 14}, {0x80000000u, 14},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.windowsError);
        EXPECT_EQ(errorNumberFromWindowsError(row.windowsError), row.errorNumber);
        EXPECT_EQ(statusFromWindowsError(row.windowsError), -row.errorNumber);
    }
}

TEST(ErrorTable, EveryCodeGivesANumberOfTheTable)
{
    const std::set<int> numbers{0, 2, 3, 4, 5, 9, 10, 12, 13, 14, 16, 17, 19, 22, 24, 28, 32, 40, 138};
    for (uint32_t e = 0; e < 70000; ++e)
        ASSERT_EQ(numbers.count(errorNumberFromWindowsError(e)), 1u) << e;
    for (uint32_t e = UINT32_MAX - 1000; e != 0; ++e)
        ASSERT_EQ(errorNumberFromWindowsError(e), 14) << e;
}

TEST(TraceLine, Pieces)
{
    const struct {
        const char* name;
        std::string bytes;
        std::string line;
    } rows[] = {
        {"letter A", "A", "41[A] "},
        {"high byte keeps its character", "\xe9", "e9[\xe9] "},
        {"NUL shows as a dot", "\0"s, "0[.] "},
        {"line feed shows as a dot", "\n", "a[.] "},
        {"DEL shows as a dot", "\x7f", "7f[.] "},
        {"several bytes joined", "OK\r\n", "4f[O] 4b[K] d[.] a[.] "},
        {"nothing", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(formatTraceLine(reinterpret_cast<const uint8_t*>(row.bytes.data()), row.bytes.size()), row.line);
    }
}

TEST(TraceLine, EveryByteValueAndALargeBlock)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string line = formatTraceLine(reinterpret_cast<const uint8_t*>(all.data()), all.size());
    // 16 one-digit values (5 characters each), 240 two-digit values (6 each).
    EXPECT_EQ(line.size(), 16u * 5 + 240u * 6);
    EXPECT_EQ(line.find('\0'), std::string::npos);
    EXPECT_EQ(line.find('\n'), std::string::npos);

    const std::string block(1 << 20, '\xff');
    EXPECT_EQ(formatTraceLine(reinterpret_cast<const uint8_t*>(block.data()), block.size()).size(), block.size() * 6);
    EXPECT_EQ(formatTraceLine(nullptr, 0), "");
}

} // namespace
} // namespace clser
