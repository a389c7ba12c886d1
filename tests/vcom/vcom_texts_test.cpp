// Texts the library hands to its callers: formatted messages, the error description
// protocol, pair texts in the callers' 20-byte buffers and the state-check wording.
#include "text_format.h"
#include "vcom_messages.h"
#include "vcom_module.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

using namespace clser::vcom;

namespace {

struct CountdownCase {
    int secondsLeft;
    const char* shown;
};

TEST(InstallCountdown, MinutesAndSecondsWithLeadingZeros)
{
    const CountdownCase cases[] = {{300, "05:00"}, {299, "04:59"}, {250, "04:10"}, {69, "01:09"},
                                   {60, "01:00"},  {59, "00:59"},  {10, "00:10"},  {1, "00:01"}};
    for (const auto& c : cases)
        EXPECT_EQ(waitingCountdownText(c.secondsLeft),
                  std::string("\rWaiting for install, timeout up to 5 minutes: ") + c.shown)
            << c.secondsLeft;
    EXPECT_LE(waitingCountdownText(INT_MIN).size(), 127u);
    EXPECT_LE(waitingCountdownText(INT_MAX).size(), 127u);
}

TEST(FormattedMessages, Com0comNotFoundNamesTheDirectory)
{
    EXPECT_EQ(com0comNotFoundText("Z:\\work\\build"),
              "Not found com0com in \"$(TARVDIR5_32)\", \"$(TARVDIR5_64)\", \"$(TARVDIR5)\", or "
              "\"Z:\\work\\build\\com0com\"\nPlease check the installation.\n");
    EXPECT_EQ(com0comNotFoundText(std::string(4000, 'd')).size(), 511u);
}

TEST(FormattedMessages, InvalidIndexNamesTheLastIndexWithoutLineFeed)
{
    EXPECT_EQ(invalidPairIndexText(3), "Error GetOneCOMPair: Invalid index, please give 0-2");
    EXPECT_EQ(invalidPairIndexText(0), "Error GetOneCOMPair: Invalid index, please give 0--1");
    EXPECT_EQ(invalidPairIndexText(INT_MIN), "Error GetOneCOMPair: Invalid index, please give 0--1");
    EXPECT_EQ(invalidPairIndexText(INT_MAX), "Error GetOneCOMPair: Invalid index, please give 0-2147483646");
}

TEST(FormattedMessages, TextLongerThanItsBufferIsCut)
{
    EXPECT_EQ(formatBounded(8, "%s", "123456789"), "1234567");
    EXPECT_EQ(formatBounded(0, "%s", "x"), "");
    const std::string longId(600, 'X');
    EXPECT_EQ(formatBounded(512, text::kRemoveUnknownId, longId.c_str()).size(), 511u);
}

TEST(ErrorDescription, SizeQueryThenCopy)
{
    const std::string text = text::kNoPairsInstalled;
    ASSERT_EQ(text.size(), 50u);
    EXPECT_EQ(describeError(text, nullptr), 51);
    char buffer[60];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(describeError(text, buffer), 0);
    EXPECT_EQ(std::memcmp(buffer, text.c_str(), 51), 0);
    EXPECT_EQ(buffer[51], 'X') << "wrote past the text's terminator";
}

TEST(ErrorDescription, EmptyTextWritesNothing)
{
    EXPECT_EQ(describeError("", nullptr), -1);
    char buffer[4] = {'X', 'X', 'X', 'X'};
    EXPECT_EQ(describeError("", buffer), -1);
    EXPECT_EQ(buffer[0], 'X');
}

struct PairTextCase {
    const char* name;
    std::string text;
    std::string stored;
};

TEST(PairTextCopy, AtMostNineteenCharactersAndNothingBeyondTwentyBytes)
{
    const PairTextCase cases[] = {
        {"short_text", "CNC0", "CNC0"},
        {"nineteen_characters", "TARVCOM123456789012", "TARVCOM123456789012"},
        {"twenty_characters_cut", "TARVCOM1234567890123", "TARVCOM123456789012"},
        {"long_parameter_list_cut", "COM5,EmuBR=yes,EmuOverrun=yes", "COM5,EmuBR=yes,EmuO"},
        {"empty_text", "", ""},
    };
    for (const auto& c : cases) {
        char buffer[24];
        std::memset(buffer, 0, 20);
        std::memset(buffer + 20, 0x5A, 4);
        copyPairText(buffer, c.text);
        EXPECT_EQ(std::string(buffer), c.stored) << c.name;
        EXPECT_EQ(buffer[19], '\0') << c.name;
        for (int i = 20; i < 24; ++i)
            EXPECT_EQ(buffer[i], 0x5A) << c.name << ": byte " << i << " overwritten";
    }
}

TEST(PairTextCopy, NullBufferIsSkipped)
{
    copyPairText(nullptr, "CNC0");
}

struct StateCheckCase {
    const char* name;
    StateCheckWording wording;
    bool hasModule;
    bool initialised;
    const char* failure; // null: usable
};

TEST(StateCheck, WordingPerExportAndState)
{
    const StateCheckCase cases[] = {
        {"plain_no_module", StateCheckWording::Plain, false, false, "Error: Modul is not initialized\n"},
        {"plain_not_initialised", StateCheckWording::Plain, true, false,
         "Error: Modul is not succesfully initialized\n"},
        {"dotted_no_module", StateCheckWording::Dotted, false, false, "Error: Modul is not initialized.\n"},
        {"dotted_not_initialised", StateCheckWording::Dotted, true, false,
         "Error: Modul is not succesfully initialized.\n"},
        {"remove_no_module", StateCheckWording::Remove, false, false, "Error Remove: Modul not initialized.\n"},
        {"remove_not_initialised", StateCheckWording::Remove, true, false, "Error Remove: Modul not initialized.\n"},
        {"plain_initialised", StateCheckWording::Plain, true, true, nullptr},
        {"dotted_initialised", StateCheckWording::Dotted, true, true, nullptr},
        {"remove_initialised", StateCheckWording::Remove, true, true, nullptr},
    };
    for (const auto& c : cases) {
        VComModule module;
        module.initialised = c.initialised;
        const char* failure = stateCheckFailure(c.wording, c.hasModule ? &module : nullptr);
        if (!c.failure)
            EXPECT_EQ(failure, nullptr) << c.name;
        else
            EXPECT_STREQ(failure, c.failure) << c.name;
    }
}

} // namespace
