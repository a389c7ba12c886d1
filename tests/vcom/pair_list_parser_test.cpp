#include "pair_list_parser.h"
#include "vcom_module.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace std::string_literals;
using clser::vcom::copyPairText;
using clser::vcom::kPairTextBufferSize;
using clser::vcom::PairListParse;
using clser::vcom::parsePairList;
using clser::VirtualPair;

namespace {

struct ParserCase {
    const char* name;
    std::string fileText;
    std::vector<VirtualPair> pairs;
    bool valid;
};

const std::string kPair0 = "       CNCA0 PortName=COM5\n       CNCB0 PortName=TARVCOM5\n";
const std::string kPair1 = "       CNCA1 PortName=COM6\n       CNCB1 PortName=TARVCOM6\n";
const VirtualPair kRecord0{"CNC0", "COM5", "TARVCOM5"};
const VirtualPair kRecord1{"CNC1", "COM6", "TARVCOM6"};

const ParserCase kCases[] = {
    {"seven_leading_spaces", kPair0, {kRecord0}, true},
    {"no_leading_spaces_19_characters", "CNCA0 PortName=COM5\nCNCB0 PortName=TARVCOM5\n", {kRecord0}, true},
    {"line_of_17_characters", "CNCA0 PortName=C1\nCNCB0 PortName=TARVCOM1\n", {{"CNC0", "C1", "TARVCOM1"}}, true},
    {"line_of_15_characters_refused", "CNCA0 PortName=\nCNCB0 PortName=TARVCOM1\n", {}, false},
    {"second_line_of_15_characters_refused", "CNCA0 PortName=C1\nCNCB0 PortName=\n", {}, false},
    {"leading_spaces_count_towards_length", " CNCA0 PortName=\n CNCB0 PortName=\n", {{"CNC0", "", ""}}, true},
    {"pair_numbers_differ", "       CNCA1 PortName=COM5\n       CNCB2 PortName=TARVCOM5\n", {}, false},
    {"b_line_before_a_line", "       CNCB0 PortName=TARVCOM5\n       CNCA0 PortName=COM5\n", {}, false},
    {"odd_line_count_without_final_line_feed", kPair0 + "       CNCA1 PortName=COM6", {kRecord0}, true},
    {"odd_line_count_with_final_line_feed", kPair0 + "       CNCA1 PortName=COM6\n", {kRecord0}, false},
    {"last_pair_without_final_line_feed", kPair0 + "       CNCA1 PortName=COM6\n       CNCB1 PortName=TARVCOM6",
     {kRecord0, kRecord1}, true},
    {"adjacent_duplicates_give_one_record", kPair0 + kPair0 + kPair1, {kRecord0, kRecord1}, true},
    {"separated_duplicates_all_stay", kPair0 + kPair1 + kPair0, {kRecord0, kRecord1, kRecord0}, true},
    {"empty_first_line_gives_empty_list", "\n" + kPair0, {}, true},
    {"empty_file", "", {}, true},
    {"empty_line_ends_the_list", kPair0 + "\n" + kPair1, {kRecord0}, true},
    {"pairs_before_a_bad_pair_stay", kPair0 + "       CNCA3 PortName=COM8\n       CNCB4 PortName=TARVCOM8\n",
     {kRecord0}, false},
    {"line_without_equals_gives_whole_line", "   CNCA0 NoPortNameHere\n   CNCB0 PortName=TARVCOM5\n",
     {{"CNC0", "CNCA0 NoPortNameHere", "TARVCOM5"}}, true},
    {"name_ends_at_the_first_comma", "       CNCA0 PortName=COM5,EmuBR=yes\n       CNCB0 PortName=TARVCOM5\n",
     {kRecord0}, true},
    {"parameters_on_both_ends", "CNCA0 PortName=COM5,EmuOverrun=yes,cts=rrts\nCNCB0 PortName=TARVCOM5,EmuBR=yes\n",
     {kRecord0}, true},
    {"first_three_characters_are_not_checked", "XYZA0 PortName=COM5\nXYZB0 PortName=TARVCOM5\n",
     {{"XYZ0", "COM5", "TARVCOM5"}}, true},
    {"two_digit_pair_number_kept_whole", "       CNCA12 PortName=COM5\n       CNCB12 PortName=TARVCOM5\n",
     {{"CNC12", "COM5", "TARVCOM5"}}, true},
    {"two_digit_pair_numbers_differing_in_second_digit",
     "       CNCA12 PortName=COM5\n       CNCB13 PortName=TARVCOM5\n", {}, false},
    {"one_digit_and_two_digit_numbers_differ", "       CNCA1 PortName=COM5\n       CNCB12 PortName=TARVCOM5\n",
     {}, false},
    {"pair_number_that_is_no_digit_kept_as_one_character", "CNCAx PortName=COM5\nCNCBx PortName=TARVCOM5\n",
     {{"CNCx", "COM5", "TARVCOM5"}}, true},
    {"line_of_spaces_only", "                \n       CNCB0 PortName=TARVCOM5\n", {}, false},
    {"tab_is_not_a_leading_space", "\tCNCA0 PortName=COM5\n\tCNCB0 PortName=TARVCOM5\n", {}, false},
    {"nul_bytes_in_the_lines", "       CNCA0\0PortName=COM5\n       CNCB0\0PortName=TARVCOM5\n"s, {kRecord0}, true},
    {"junk_without_line_feed", std::string(1 << 20, 'x'), {}, true},
    {"junk_lines", std::string(1 << 20, 'x') + "\n" + std::string(100, 'y') + "\n", {}, false},
    {"line_feeds_only", std::string(1 << 20, '\n'), {}, true},
};

class PairListParser : public testing::TestWithParam<ParserCase> {};

TEST_P(PairListParser, ReadsPairsAndValidity)
{
    const auto& c = GetParam();
    const auto parsed = parsePairList(c.fileText);
    EXPECT_EQ(parsed.valid, c.valid);
    ASSERT_EQ(parsed.pairs.size(), c.pairs.size());
    for (std::size_t i = 0; i < c.pairs.size(); ++i) {
        EXPECT_EQ(parsed.pairs[i].pairId, c.pairs[i].pairId) << "record " << i;
        EXPECT_EQ(parsed.pairs[i].portName, c.pairs[i].portName) << "record " << i;
        EXPECT_EQ(parsed.pairs[i].partnerName, c.pairs[i].partnerName) << "record " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PairListParser, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ParserCase>& info) { return info.param.name; });

std::string pairLines(const std::string& number, const std::string& a, const std::string& b)
{
    return "       CNCA" + number + " PortName=" + a + "\n       CNCB" + number + " PortName=" + b + "\n";
}

TEST(PairListFile, PairNumbersAndLongNames)
{
    std::string text;
    for (int n = 0; n < 100; ++n)
        text += pairLines(std::to_string(n), "COM" + std::to_string(n + 10), "TARVCOM" + std::to_string(n + 10));
    const std::string name40(40, 'N');
    text += pairLines("123", name40, name40 + "B");
    text += pairLines(std::string(30, '9'), "COM1", "TARVCOM1");
    const PairListParse parse = parsePairList(text);
    ASSERT_TRUE(parse.valid);
    ASSERT_EQ(parse.pairs.size(), 102u);
    EXPECT_EQ(parse.pairs[12].pairId, "CNC12");
    EXPECT_EQ(parse.pairs[100].pairId, "CNC123");
    EXPECT_EQ(parse.pairs[100].portName, name40);
    EXPECT_EQ(parse.pairs[101].pairId, "CNC" + std::string(30, '9'));

    // What a caller's zero-filled 20-byte buffers receive: at most 19 characters and
    // the terminator, never a byte past the end (the heap blocks are exactly 20 bytes).
    for (const auto& pair : parse.pairs) {
        for (const std::string* text : {&pair.pairId, &pair.portName, &pair.partnerName}) {
            auto buffer = std::make_unique<char[]>(kPairTextBufferSize);
            std::memset(buffer.get(), 0, kPairTextBufferSize);
            copyPairText(buffer.get(), *text);
            EXPECT_EQ(buffer[kPairTextBufferSize - 1], '\0');
            EXPECT_EQ(std::string(buffer.get()), text->substr(0, kPairTextBufferSize - 1));
        }
    }
}

} // namespace
