#include "fake_pair_library.h"
#include "virtual_pair_merge.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
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

// A library that fills every byte of the caller's 20-byte buffers, as a pair text of 20
// or more characters arrives: with no terminating zero.
class FullBufferLibrary : public PairLibrary {
public:
    int count = 3;
    int errorSize = 0; // > 0: init fails, and the text fills exactly that many bytes
    int init() override { return errorSize > 0 ? 0 : 1; }
    int errorDescription(char* buffer) override
    {
        if (buffer)
            std::memset(buffer, 'e', static_cast<size_t>(errorSize));
        return errorSize;
    }
    int pairCount() override { return count; }
    int onePair(int index, char* pairId, char* portName, char* partnerName) override
    {
        std::memset(pairId, 'I', 20);
        std::memset(portName, index == 0 ? 'P' : 'Q', 20);
        std::memset(partnerName, 'R', 20);
        return 1;
    }
};

TEST(MergeVirtualPairs, TextsThatFillTheirBuffers)
{
    FullBufferLibrary library;
    RecordingUi ui;
    std::vector<VirtualPair> entries{{"", std::string(20, 'P'), ""}, {"", "COM1", ""}};
    mergeVirtualPairs(entries, library, ui);
    // Pair 0 replaces the plain entry of its name; pair 2 replaces pair 1 (same name).
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].portName, "COM1");
    EXPECT_EQ(entries[1].pairId, std::string(20, 'I'));
    EXPECT_EQ(entries[1].portName, std::string(20, 'P'));
    EXPECT_EQ(entries[2].portName, std::string(20, 'Q'));
    EXPECT_EQ(entries[2].partnerName, std::string(20, 'R'));
    EXPECT_TRUE(ui.shown.empty());
}

TEST(MergeVirtualPairs, ErrorTextThatFillsWhatItAnnounced)
{
    FullBufferLibrary library;
    library.errorSize = 64;
    RecordingUi ui;
    std::vector<VirtualPair> entries;
    mergeVirtualPairs(entries, library, ui);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0], std::string(64, 'e'));
    EXPECT_TRUE(entries.empty());
}

TEST(MergeVirtualPairs, NegativeAndHugeCounts)
{
    FullBufferLibrary library;
    RecordingUi ui;
    std::vector<VirtualPair> entries;
    library.count = INT_MIN;
    mergeVirtualPairs(entries, library, ui);
    EXPECT_TRUE(entries.empty());
    library.count = 10000;
    mergeVirtualPairs(entries, library, ui);
    // Every pair after the first names the same port, so each replaces the one before.
    EXPECT_EQ(entries.size(), 2u);
}

} // namespace
