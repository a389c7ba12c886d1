#include "bridge_controller.h"
#include "connection_settings.h"

#include <gtest/gtest.h>

using namespace clser;

namespace {

struct LineSettingsCase {
    const char* name;
    const char* text;
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
    s.baudRate = 1;
    s.clBaudCode = 99;
    s.parity = 7;
    s.dataBits = 1;
    s.stopBits = 7;
    parseLineSettings(c.text, s);
    EXPECT_EQ(s.baudRate, c.baudRate);
    EXPECT_EQ(s.clBaudCode, c.clBaudCode);
    EXPECT_EQ(s.parity, c.parity);
    EXPECT_EQ(s.dataBits, c.dataBits);
    EXPECT_EQ(s.stopBits, c.stopBits);
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
};

INSTANTIATE_TEST_SUITE_P(Cases, ParseLineSettings, ::testing::ValuesIn(kLineSettingsCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LineLabels, ParityAndStopBits)
{
    EXPECT_STREQ(parityLetter(0), "n");
    EXPECT_STREQ(parityLetter(1), "o");
    EXPECT_STREQ(parityLetter(2), "e");
    EXPECT_STREQ(stopBitsLabel(0), "1");
    EXPECT_STREQ(stopBitsLabel(1), "1.5");
    EXPECT_STREQ(stopBitsLabel(2), "2");
}

TEST(SettingsNeedReconnect, EchoAloneDoesNotCount)
{
    ConnectionSettings a;
    a.bridgePortName = "TARVCOM5";
    a.userPortName = "COM5";
    a.clPortIndex = 0;
    ConnectionSettings b = a;
    b.echo = true;
    EXPECT_FALSE(settingsNeedReconnect(a, b));
    auto changed = [&](auto mutate) {
        ConnectionSettings c = a;
        mutate(c);
        return settingsNeedReconnect(a, c);
    };
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.clBaudCode = 2; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.clPortIndex = 1; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.baudRate = 19200; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.dataBits = 7; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.userPortName = "COM6"; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.bridgePortName = "TARVCOM6"; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.parity = 1; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.stopBits = 2; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.userPortName = "com5"; }));
}

} // namespace
