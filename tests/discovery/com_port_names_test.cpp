#include "com_port_names.h"

#include <gtest/gtest.h>

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

} // namespace
