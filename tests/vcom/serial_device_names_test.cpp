#include "digit_text.h"
#include "dos_device_names.h"
#include "serial_device_names.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace clser::vcom;

namespace {

std::string zeroSeparated(const std::vector<std::string>& names)
{
    std::string all;
    for (const auto& n : names)
        all += n + '\0';
    return all + '\0';
}

struct NamesCase {
    const char* name;
    std::vector<std::string> deviceNames;
    std::vector<std::string> serialNames;
    std::vector<int> usedNumbers;
};

const NamesCase kCases[] = {
    {"com_end", {"COM5"}, {"COM5"}, {5}},
    {"tarvcom_end", {"TARVCOM5"}, {"TARVCOM5"}, {5}},
    {"both_ends_and_order_and_duplicates", {"TARVCOM7", "COM1", "COM7"}, {"TARVCOM7", "COM1", "COM7"}, {7, 1, 7}},
    {"lower_case_listed_but_no_number", {"com7", "tarvcom8"}, {"com7", "tarvcom8"}, {}},
    {"mixed_case_tarvcom_listed_but_no_number", {"TarvCom9"}, {"TarvCom9"}, {}},
    {"three_characters_too_short", {"COM"}, {}, {}},
    {"fourteen_characters_taken", {"TARVCOM1234567"}, {"TARVCOM1234567"}, {1234567}},
    {"fifteen_characters_too_long", {"TARVCOM12345678"}, {}, {}},
    {"number_beyond_int_left_out", {"COM99999999999"}, {"COM99999999999"}, {}},
    {"tarvcom_without_digits", {"TARVCOM"}, {}, {}},
    {"letters_after_com", {"COMMAND1", "COM1A", "COMx1"}, {}, {}},
    {"other_device_names", {"C:", "PIPE", "NUL", "Volume{00000000-0000-0000-0000-000000000043}", "CONOUT$"}, {}, {}},
    {"leading_zero", {"COM05"}, {"COM05"}, {5}},
    {"largest_int_number", {"COM2147483647"}, {"COM2147483647"}, {INT_MAX}},
    {"digits_after_a_sign_or_blank", {"COM-1", "COM+1", "COM 1"}, {}, {}},
};

class SerialDeviceNames : public testing::TestWithParam<NamesCase> {};

TEST_P(SerialDeviceNames, FiltersAndNumbers)
{
    const auto& c = GetParam();
    const auto names = filterSerialDeviceNames(zeroSeparated(c.deviceNames));
    EXPECT_EQ(names, c.serialNames);
    EXPECT_EQ(collectUsedPortNumbers(names), c.usedNumbers);
}

INSTANTIATE_TEST_SUITE_P(Cases, SerialDeviceNames, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<NamesCase>& info) { return info.param.name; });

// The one reading of the list that the pair library and the port list share.
TEST(DosDeviceNameList, SplitsAtZerosUpToTheEmptyName)
{
    const struct {
        const char* name;
        std::string list;
        std::vector<std::string> names;
    } cases[] = {
        {"two names", std::string("COM1\0NUL\0\0", 10), {"COM1", "NUL"}},
        {"empty list", std::string("\0", 1), {}},
        {"nothing at all", std::string(), {}},
        {"stops at the empty name", std::string("COM1\0\0COM2\0\0", 12), {"COM1"}},
        {"last name without its zero still counts", std::string("NUL\0COM4", 8), {"NUL", "COM4"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(clser::splitDosDeviceNames(c.list), c.names) << c.name;
}

TEST(DosDeviceNameList, ReadsNoFurtherThanItsLength)
{
    // The reader stops at the length it was given, whether the list is ended or not;
    // the heap block has exactly that size, so a read past it is reported.
    const std::string unterminated(4096, 'C');
    auto block = std::make_unique<char[]>(unterminated.size());
    std::memcpy(block.get(), unterminated.data(), unterminated.size());
    const auto names = clser::splitDosDeviceNames(std::string_view(block.get(), unterminated.size()));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].size(), 4096u);
    EXPECT_TRUE(clser::splitDosDeviceNames(std::string_view(block.get(), 0)).empty());
}

TEST(SerialDeviceNameList, HugeAndBinaryLists)
{
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "COM" + std::to_string(i) + '\0';
    EXPECT_EQ(filterSerialDeviceNames(many).size(), 100000u);

    EXPECT_TRUE(filterSerialDeviceNames("").empty());
    EXPECT_TRUE(filterSerialDeviceNames(std::string(1 << 20, 'C')).empty());
    std::string binary(1 << 16, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 131 + 7);
    for (const auto& name : filterSerialDeviceNames(binary))
        EXPECT_TRUE(name.size() >= 4 && name.size() <= 14);

    // Names not from a listing: empty rests and overlong digit runs give no number.
    EXPECT_TRUE(collectUsedPortNumbers({"", "COM", "TARVCOM", "COM" + std::string(400, '9'), "COMX"}).empty());
}

TEST(AllDigits, OnlyNonEmptyDecimalText)
{
    EXPECT_FALSE(isAllDigits(""));
    EXPECT_TRUE(isAllDigits("0"));
    EXPECT_TRUE(isAllDigits("0123456789"));
    EXPECT_FALSE(isAllDigits("12a"));
    EXPECT_FALSE(isAllDigits("-1"));
    EXPECT_FALSE(isAllDigits(" 1"));
}

TEST(DecimalValues, EachReaderKeepsItsRuleAtTheEdges)
{
    const std::optional<int> none;
    const struct {
        const char* name;
        std::string_view text;
        std::optional<int> exact;   // decimalValue: all digits and within int, or nothing
        int saturated;              // saturatedDecimalValue of the leading digits
        int leadingSigned;          // leadingSignedDecimalValue, read as atoi reads it
    } cases[] = {
        {"plain number", "42", 42, 42, 42},
        {"leading zeros", "007", 7, 7, 7},
        {"largest int", "2147483647", INT_MAX, INT_MAX, INT_MAX},
        {"one beyond the largest int", "2147483648", none, INT_MAX, INT_MAX},
        {"trailing letter", "3x", none, 3, 3},
        {"blank and sign before the digits", " -5", none, 0, -5},
        {"plus sign", "+8", none, 0, 8},
        {"no digit at all", "COM", none, 0, 0},
        {"empty text", "", none, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clser::decimalValue(c.text), c.exact) << c.name;
        EXPECT_EQ(clser::saturatedDecimalValue(clser::leadingDigits(c.text)), c.saturated) << c.name;
        EXPECT_EQ(clser::leadingSignedDecimalValue(c.text), c.leadingSigned) << c.name;
    }
}

} // namespace
