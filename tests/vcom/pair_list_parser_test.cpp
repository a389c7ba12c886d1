#include "pair_list_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    {"name_is_everything_after_the_first_equals", "CNCA0 PortName=COM5,EmuBR=yes\nCNCB0 PortName=TARVCOM5\n",
     {{"CNC0", "COM5,EmuBR=yes", "TARVCOM5"}}, true},
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

} // namespace
