#include "virtual_port_items.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

using namespace clser::app;
using clser::VirtualPair;

namespace {

TEST(PairNumber, ReadFromTheFourthCharacterOn)
{
    const struct {
        const char* name;
        std::string pairId;
        intptr_t number;
    } rows[] = {{"one digit", "CNC3", 3},          {"two digits", "CNC12", 12},   {"nothing after CNC", "CNC", 0},
                {"shorter than CNC", "CN", 0},      {"letters after CNC", "CNCX", 0}, {"nine digits", "CNC123456789", 123456789},
                {"digits then letters", "CNC4B", 4},
                {"sixteen digits, as a 19-character buffer holds", "CNC" + std::string(16, '9'), INT_MAX},
                {"largest int", "CNC2147483647", INT_MAX},
                {"empty", "", 0},
                {"sign", "CNC-1", 0}};
    for (const auto& r : rows)
        EXPECT_EQ(pairNumberOfId(r.pairId), r.number) << r.name;
}

TEST(PairNumber, IdentifierIsNeverCut)
{
    EXPECT_EQ(pairIdOfNumber(3), "CNC3");
    EXPECT_EQ(pairIdOfNumber(123456789), "CNC123456789");
}

TEST(PortBoxItems, PairsWithTheirNumbersThenPhysicalPorts)
{
    const std::vector<VirtualPair> pairs = {{"CNC3", "COM5", "TARVCOM5"}, {"", "COM8", ""}};
    const auto items = virtualPortItems(pairs, {"COM1"});
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "COM5-TARVCOM5");
    EXPECT_EQ(items[0].data, 3);
    EXPECT_EQ(items[1].text, "COM8");
    EXPECT_EQ(items[2].text, "COM1");
    EXPECT_TRUE(isPairItem("COM5-TARVCOM5"));
    EXPECT_FALSE(isPairItem("COM1"));
    EXPECT_FALSE(isPairItem(""));
}

} // namespace
