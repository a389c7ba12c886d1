#include "com_port_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace clser::discovery;

namespace {

TEST(ComPortDeviceName, TakesComFollowedByDigitsUpToSevenCharacters)
{
    const struct {
        const char* name;
        std::string device;
        bool taken;
    } cases[] = {
        {"one digit", "COM3", true},
        {"two digits", "COM12", true},
        {"four digits, seven characters", "COM9999", true},
        {"eight characters", "COM10000", false},
        {"no digits", "COMX", false},
        {"COM alone", "COM", false},
        {"lower case", "com4", true},
        {"mixed case", "Com7", true},
        {"digit then letter", "COM1A", false},
        {"sign", "COM-1", false},
        {"space", "COM 1", false},
        {"bridge end of a pair", "TARVCOM5", false},
        {"other device", "LPT1", false},
        {"byte above 127 is no digit", "COM\xB2", false},
        {"empty", "", false},
        {"NUL inside", std::string("COM\0" "1", 5), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isComPortDeviceName(c.device), c.taken) << c.name;
}

TEST(DeviceNameList, SplitsAtZerosUpToTheEmptyName)
{
    const struct {
        const char* name;
        std::string buffer;
        std::vector<std::string> names;
    } cases[] = {
        {"two names", std::string("COM1\0NUL\0\0", 10), {"COM1", "NUL"}},
        {"empty list", std::string("\0", 1), {}},
        {"nothing at all", std::string(), {}},
        {"stops at the empty name", std::string("A\0\0B\0\0", 6), {"A"}},
        {"last name not terminated inside the length", std::string("A\0BC", 4), {"A", "BC"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitDeviceNameList(c.buffer.data(), c.buffer.size()), c.names) << c.name;
}

TEST(DeviceNameList, ReadsNoFurtherThanItsLength)
{
    // The reader stops at the length it was given, whether the list is ended or not;
    // the heap block has exactly that size, so a read past it is reported.
    const std::string unterminated(4096, 'C');
    auto block = std::make_unique<char[]>(unterminated.size());
    std::memcpy(block.get(), unterminated.data(), unterminated.size());
    const auto names = splitDeviceNameList(block.get(), unterminated.size());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].size(), 4096u);
    EXPECT_TRUE(splitDeviceNameList(block.get(), 0).empty());
    EXPECT_TRUE(splitDeviceNameList(nullptr, 0).empty());
}

} // namespace
