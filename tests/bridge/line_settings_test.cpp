#include "connection_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace std::string_literals;

using namespace clser;

namespace {

struct LineSettingsCase {
    const char* name;
    std::string text;
    uint32_t baudRate;
    int32_t clBaudCode;
    int32_t parity;
    uint32_t dataBits;
    int32_t stopBits;
};

class ParseLineSettings : public ::testing::TestWithParam<LineSettingsCase> {};

TEST_P(ParseLineSettings, FillsTheLineFields)
{
    const auto& c = GetParam();
    ConnectionSettings s;
    s.line.baudRate = 1;
    s.clBaudCode = 99;
    s.line.parity = static_cast<Parity>(7);
    s.line.dataBits = 1;
    s.line.stopBits = static_cast<StopBits>(7);
    s.setLine(parseLineSettings(c.text));
    EXPECT_EQ(s.line.baudRate, c.baudRate);
    EXPECT_EQ(s.clBaudCode, c.clBaudCode);
    EXPECT_EQ(static_cast<int32_t>(s.line.parity), c.parity);
    EXPECT_EQ(s.line.dataBits, c.dataBits);
    EXPECT_EQ(static_cast<int32_t>(s.line.stopBits), c.stopBits);
}

const LineSettingsCase kLineSettingsCases[] = {
    {"plain_9600_n_8_1", "9600,N,8,1", 9600, 1, 0, 8, 0},
    {"fast_even_7_two", "115200,E,7,2", 115200, 16, 2, 7, 2},
    {"highest_rate_odd", "921600,O,8,1", 921600, 128, 1, 8, 0},
    {"each_rate_19200", "19200,N,8,1", 19200, 2, 0, 8, 0},
    {"each_rate_38400", "38400,N,8,1", 38400, 4, 0, 8, 0},
    {"each_rate_57600", "57600,N,8,1", 57600, 8, 0, 8, 0},
    {"each_rate_230400", "230400,N,8,1", 230400, 32, 0, 8, 0},
    {"each_rate_460800", "460800,N,8,1", 460800, 64, 0, 8, 0},
    {"unknown_rate_defaults", "4800,N,8,1", 9600, 1, 0, 8, 0},
    {"ten_data_bits_default", "9600,N,10,1", 9600, 1, 0, 8, 0},
    {"mark_parity_and_one_and_half", "9600,M,8,1.5", 9600, 1, 0, 8, 1},
    {"lower_case_is_not_recognised", "9600,e,8,1", 9600, 1, 0, 8, 0},
    {"five_and_nine_bits_bounds", "9600,N,5,2", 9600, 1, 0, 5, 2},
    {"nine_data_bits", "9600,N,9,1", 9600, 1, 0, 9, 0},
    {"four_data_bits_default", "9600,N,4,1", 9600, 1, 0, 8, 0},
    {"data_bits_with_leading_zero", "9600,N,07,1", 9600, 1, 0, 7, 0},
    {"data_bits_not_digits", "9600,N,7x,1", 9600, 1, 0, 8, 0},
    {"data_bits_huge_never_overflows", "9600,N,4294967303,1", 9600, 1, 0, 8, 0},
    {"empty_text_all_defaults", "", 9600, 1, 0, 8, 0},
    // Without enough commas the last remaining part stands for the following fields.
    {"no_comma_repeats_the_text", "115200", 115200, 16, 0, 8, 0},
    {"one_comma_repeats_parity", "19200,E", 19200, 2, 2, 8, 0},
    {"two_commas_repeat_data_bits", "9600,N,2", 9600, 1, 0, 8, 2},
    {"extra_fields_stay_in_stop_bits", "9600,N,8,1,X", 9600, 1, 0, 8, 0},
    {"fifty_commas", ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", 9600, 1, 0, 8, 0},
    {"fastest_rate_five_bits_one_and_half", "921600,O,5,1.5", 921600, 128, 1, 5, 1},
    {"blank_around_a_field_is_not_trimmed", " 9600,N , 8,1 ", 9600, 1, 0, 8, 0},
    {"data_bits_past_64_bits", "9600,N,184467440737095516160000000000000007,1", 9600, 1, 0, 8, 0},
    {"baud_rate_past_64_bits", "99999999999999999999999999999,N,8,1", 9600, 1, 0, 8, 0},
    {"nul_inside_the_rate", "96\0"s "00,N,8,1", 9600, 1, 0, 8, 0},
    {"nul_after_a_full_field", "115200\0"s ",E,7,2", 9600, 1, 2, 7, 2},
    {"high_bytes", "\xff\xfe,\x80,\xe9,\x01", 9600, 1, 0, 8, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, ParseLineSettings, ::testing::ValuesIn(kLineSettingsCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LineLabels, ParityAndStopBits)
{
    EXPECT_STREQ(parityLetter(Parity::none), "n");
    EXPECT_STREQ(parityLetter(Parity::odd), "o");
    EXPECT_STREQ(parityLetter(Parity::even), "e");
    EXPECT_STREQ(stopBitsLabel(StopBits::one), "1");
    EXPECT_STREQ(stopBitsLabel(StopBits::onePointFive), "1.5");
    EXPECT_STREQ(stopBitsLabel(StopBits::two), "2");
    EXPECT_STREQ(parityLetter(static_cast<Parity>(INT32_MIN)), "n");
    EXPECT_STREQ(stopBitsLabel(static_cast<StopBits>(INT32_MAX)), "1");
}

// Texts no launcher writes end in values the bridge accepts.
TEST(ParseLineSettingsHuge, EndsInTheAcceptedValues)
{
    const std::string huge[] = {
        std::string(1 << 20, ','),
        std::string(1 << 20, '9'),
        "9600,N,8," + std::string(1 << 20, '1'),
        std::string(1 << 20, '\0'),
        "115200,E," + std::string(1 << 20, '0') + "7,2",
    };
    for (const auto& text : huge) {
        ConnectionSettings s;
        s.setLine(parseLineSettings(text));
        EXPECT_EQ(clBaudCodeForRate(s.line.baudRate), s.clBaudCode);
        EXPECT_LE(static_cast<int32_t>(s.line.parity), 2);
        EXPECT_GE(s.line.dataBits, 5u);
        EXPECT_LE(s.line.dataBits, 9u);
        EXPECT_LE(static_cast<int32_t>(s.line.stopBits), 2);
    }
    // Leading zeros of any length still spell the digit at the end.
    ConnectionSettings s;
    s.setLine(parseLineSettings(huge[4]));
    EXPECT_EQ(s.line.dataBits, 7u);
}

} // namespace
