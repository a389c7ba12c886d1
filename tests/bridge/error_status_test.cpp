#include "windows_error_status.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

using clser::errorNumberFromWindowsError;
using clser::statusFromWindowsError;

namespace {

struct ErrorRow {
    std::vector<uint32_t> windowsErrors;
    int errorNumber;
};

TEST(WindowsErrorStatus, EveryRowOfTheTable)
{
    const std::vector<ErrorRow> table = {
        {{0}, 0},
        {{2, 3, 126}, 2},
        {{4, 113}, 24},
        {{5}, 13},
        {{6}, 9},
        {{8, 84, 1450, 1451, 1452, 1453, 1454, 1455}, 12},
        {{31, 1100}, 19},
        {{39, 112}, 28},
        {{54, 170, 231}, 16},
        {{80, 142}, 17},
        {{87, 114, 123, 124, 160}, 22},
        {{109, 230, 232, 233}, 32},
        {{119, 120}, 40},
        {{121, 1460}, 138},
        {{127}, 3},
        {{128}, 10},
        {{995}, 4},
        {{1117}, 5},
    };
    for (const auto& row : table)
        for (uint32_t e : row.windowsErrors) {
            EXPECT_EQ(errorNumberFromWindowsError(e), row.errorNumber) << "windows error " << e;
            EXPECT_EQ(statusFromWindowsError(e), -row.errorNumber) << "windows error " << e;
        }
}

TEST(WindowsErrorStatus, CodesWithoutAnEntryGiveFourteen)
{
    for (uint32_t e : {1u, 7u, 1449u, 1456u, 1459u, 1461u, 996u, 0x80000000u, 0xFFFFFFFFu})
        EXPECT_EQ(errorNumberFromWindowsError(e), 14) << "windows error " << e;
}

TEST(WindowsErrorStatus, EveryCodeGivesANumberOfTheTable)
{
    const std::set<int> numbers{0, 2, 3, 4, 5, 9, 10, 12, 13, 14, 16, 17, 19, 22, 24, 28, 32, 40, 138};
    for (uint32_t e = 0; e < 70000; ++e)
        ASSERT_EQ(numbers.count(errorNumberFromWindowsError(e)), 1u) << e;
    for (uint32_t e = UINT32_MAX - 1000; e != 0; ++e)
        ASSERT_EQ(errorNumberFromWindowsError(e), 14) << e;
}

TEST(WindowsErrorStatus, StatusIsTheNegatedNumber)
{
    EXPECT_EQ(statusFromWindowsError(2), -2);   // a missing port
    EXPECT_EQ(statusFromWindowsError(5), -13);  // a port open elsewhere
    EXPECT_EQ(statusFromWindowsError(0), 0);
    EXPECT_EQ(statusFromWindowsError(12345), -14);
}

} // namespace
