#include "install_numbering.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

using clser::vcom::numbersToInstall;

namespace {

struct NumberingCase {
    const char* name;
    std::vector<int> used;
    long long ports;
    long long listedPairs;
    std::vector<int> expected;
};

const NumberingCase kCases[] = {
    {"nothing_used_starts_at_10", {}, 2, 0, {10, 11}},
    {"low_numbers_used_start_at_10", {1, 2}, 1, 0, {10}},
    {"highest_9_starts_at_10", {9}, 1, 0, {10}},
    {"highest_10_starts_at_11", {10}, 1, 0, {11}},
    {"one_above_highest_com_or_tarvcom", {1, 3, 12}, 4, 1, {13, 14, 15}},
    {"highest_anywhere_in_the_list", {40, 5, 12}, 1, 0, {41}},
    {"no_camera_link_ports", {1}, 0, 0, {}},
    {"every_port_has_a_pair", {10, 10}, 2, 2, {}},
    {"more_pairs_than_ports", {}, 1, 3, {}},
    {"numbers_past_int_left_out", {INT_MAX - 1}, 3, 0, {INT_MAX}},
    {"highest_in_use_is_the_largest_int", {INT_MAX}, 3, 0, {}},
    {"negative_used_numbers", {-5, INT_MIN}, 1, 0, {10}},
};

class InstallNumbering : public testing::TestWithParam<NumberingCase> {};

TEST_P(InstallNumbering, ConsecutiveNumbersAboveTheUsedOnes)
{
    const auto& c = GetParam();
    EXPECT_EQ(numbersToInstall(c.used, c.ports, c.listedPairs), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, InstallNumbering, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<NumberingCase>& info) { return info.param.name; });

TEST(InstallNumberingBound, AbsurdPortCountStaysBounded)
{
    // A broken SDK may report any 32-bit count; the list of numbers must not grow with it.
    const auto numbers = numbersToInstall({}, UINT32_MAX, 0);
    EXPECT_LE(numbers.size(), clser::vcom::kMaxPairsToInstall);
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(numbers.front(), 10);
}

} // namespace
