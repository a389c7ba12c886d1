#include "fake_pair_library.h"
#include "virtual_pair_merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace clser::discovery;
using clser::VirtualPair;
using clser::test::FakePairLibrary;
using clser::test::RecordingUi;

namespace {

VirtualPair plain(const char* name) { return VirtualPair{"", name, ""}; }
VirtualPair pair(const char* id, const char* port, const char* partner) { return VirtualPair{id, port, partner}; }

TEST(MergePair, ReplacesOneEntryAndAppends)
{
    const struct {
        const char* name;
        std::vector<VirtualPair> before;
        VirtualPair pairEntry;
        std::vector<VirtualPair> after;
    } cases[] = {
        {"pair replaces the plain entry of its port and moves to the end",
         {plain("COM3"), plain("COM5"), plain("COM7")}, pair("CNC0", "COM5", "TARVCOM5"),
         {plain("COM3"), plain("COM7"), pair("CNC0", "COM5", "TARVCOM5")}},
        {"pair without a device entry is appended", {plain("COM3")}, pair("CNC1", "COM9", "TARVCOM9"),
         {plain("COM3"), pair("CNC1", "COM9", "TARVCOM9")}},
        {"entry named like the partner end is replaced", {plain("COM3"), plain("TARVCOM5")},
         pair("CNC0", "COM5", "TARVCOM5"), {plain("COM3"), pair("CNC0", "COM5", "TARVCOM5")}},
        {"the first entry matching either name goes", {plain("TARVCOM5"), plain("COM5")},
         pair("CNC0", "COM5", "TARVCOM5"), {plain("COM5"), pair("CNC0", "COM5", "TARVCOM5")}},
        {"only one entry goes per pair", {plain("COM5"), plain("COM5")}, pair("CNC0", "COM5", "TARVCOM5"),
         {plain("COM5"), pair("CNC0", "COM5", "TARVCOM5")}},
        {"names compare with their case", {plain("com5")}, pair("CNC0", "COM5", "TARVCOM5"),
         {plain("com5"), pair("CNC0", "COM5", "TARVCOM5")}},
        {"empty list", {}, pair("CNC0", "COM5", "TARVCOM5"), {pair("CNC0", "COM5", "TARVCOM5")}},
        {"a later pair of the same port replaces the earlier pair", {pair("CNC0", "COM5", "TARVCOM5")},
         pair("CNC1", "COM5", "TARVCOM6"), {pair("CNC1", "COM5", "TARVCOM6")}},
    };
    for (const auto& c : cases) {
        std::vector<VirtualPair> entries = c.before;
        mergePair(entries, c.pairEntry);
        EXPECT_EQ(entries, c.after) << c.name;
    }
}

TEST(MergeVirtualPairs, MergesThePairsInLibraryOrder)
{
    FakePairLibrary library;
    library.pairs = {{"CNC0", "COM5", "TARVCOM5"}, {"CNC1", "COM3", "TARVCOM3"}, {"CNC2", "COM9", "TARVCOM9"}};
    RecordingUi ui;
    std::vector<VirtualPair> entries = {plain("COM1"), plain("COM3"), plain("COM5")};
    mergeVirtualPairs(entries, library, ui);
    EXPECT_EQ(entries, (std::vector<VirtualPair>{plain("COM1"), pair("CNC0", "COM5", "TARVCOM5"),
                                               pair("CNC1", "COM3", "TARVCOM3"), pair("CNC2", "COM9", "TARVCOM9")}));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(library.buffersWereDirty) << "each call gets zero-filled buffers";
}

TEST(MergeVirtualPairs, FailingInitShowsTheLibraryTextAndKeepsThePlainPorts)
{
    FakePairLibrary library;
    library.initResult = 0;
    library.errorText = "Not found com0com\nPlease check the installation.\n";
    library.pairs = {{"CNC0", "COM5", "TARVCOM5"}};
    RecordingUi ui;
    std::vector<VirtualPair> entries = {plain("COM1"), plain("COM5")};
    mergeVirtualPairs(entries, library, ui);
    EXPECT_EQ(ui.shown, std::vector<std::string>{library.errorText});
    EXPECT_EQ(entries, (std::vector<VirtualPair>{plain("COM1"), plain("COM5")}));
    EXPECT_EQ(library.countCalls, 0) << "no pair is asked for after a failed init";
}

TEST(MergeVirtualPairs, FailingInitWithoutTextIsSilent)
{
    FakePairLibrary library;
    library.initResult = 0;
    RecordingUi ui;
    std::vector<VirtualPair> entries = {plain("COM1")};
    mergeVirtualPairs(entries, library, ui);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(entries, std::vector<VirtualPair>{plain("COM1")});
}

TEST(MergeVirtualPairs, PairsThatCannotBeHadLeaveThePlainPorts)
{
    const struct {
        const char* name;
        int countOverride;
        bool firstReadable;
        std::vector<VirtualPair> after;
    } cases[] = {
        {"negative pair count", -1, true, {plain("COM5")}},
        {"no pairs", 0, true, {plain("COM5")}},
        {"unreadable pair is skipped", -999, false, {plain("COM5"), pair("CNC1", "COM9", "TARVCOM9")}},
    };
    for (const auto& c : cases) {
        FakePairLibrary library;
        library.pairs = {{"CNC0", "COM5", "TARVCOM5", c.firstReadable}, {"CNC1", "COM9", "TARVCOM9"}};
        library.countOverride = c.countOverride;
        RecordingUi ui;
        std::vector<VirtualPair> entries = {plain("COM5")};
        mergeVirtualPairs(entries, library, ui);
        EXPECT_EQ(entries, c.after) << c.name;
        EXPECT_TRUE(ui.shown.empty()) << c.name;
    }
}

TEST(MergeVirtualPairs, TextFillingItsWholeBufferIsReadNoFurther)
{
    FakePairLibrary library;
    library.pairs = {{std::string(20, 'I'), std::string(20, 'P'), std::string(20, 'Q')}};
    RecordingUi ui;
    std::vector<VirtualPair> entries;
    mergeVirtualPairs(entries, library, ui);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].pairId, std::string(20, 'I'));
    EXPECT_EQ(entries[0].portName, std::string(20, 'P'));
    EXPECT_EQ(entries[0].partnerName, std::string(20, 'Q'));
}

} // namespace
