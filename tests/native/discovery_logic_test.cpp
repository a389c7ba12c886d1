// Port discovery's plain logic under the sanitizers: device lists, Camera Link display
// names and their indices, the SDK root walk, and the merge of pairs whose texts fill
// their 20-byte buffers without a terminator.
#include "camera_link_port_names.h"
#include "com_port_names.h"
#include "dos_device_names.h"
#include "sdk_root_path.h"
#include "virtual_pair_merge.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

using namespace std::string_literals;

namespace clser::discovery {
namespace {

TEST(ComPortNames, DeviceListAndNameTest)
{
    const std::string list = "COM3\0COM12\0COM10000\0COMX\0com4\0\0ignored\0"s;
    const auto names = clser::splitDosDeviceNames(std::string_view(list.data(), list.size()));
    EXPECT_EQ(names, (std::vector<std::string>{"COM3", "COM12", "COM10000", "COMX", "com4"}));
    const struct {
        const char* name;
        std::string text;
        bool isPort;
    } rows[] = {
        {"four digits", "COM9999", true},  {"five digits", "COM10000", false}, {"lower case", "com4", true},
        {"no digits", "COMX", false},      {"empty", "", false},             {"NUL inside", "COM\0"s "1", false},
        {"high byte", "COM\xb9", false},   {"sign", "COM-1", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(isComPortDeviceName(row.text), row.isPort);
    }
}

TEST(ComPortNames, ListsThatDoNotEndWhereTheyShould)
{
    // The reader stops at the length it was given, whether the list is ended or not;
    // the heap block has exactly that size, so a read past it is reported.
    const std::string unterminated(4096, 'C');
    auto block = std::make_unique<char[]>(unterminated.size());
    std::memcpy(block.get(), unterminated.data(), unterminated.size());
    const auto names = clser::splitDosDeviceNames(std::string_view(block.get(), unterminated.size()));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].size(), 4096u);
    EXPECT_TRUE(clser::splitDosDeviceNames(std::string_view(block.get(), 0)).empty());
    EXPECT_TRUE(clser::splitDosDeviceNames(std::string_view()).empty());
}

TEST(CameraLinkPortNames, FormatAndIndex)
{
    EXPECT_EQ(formatCameraLinkPortName(0, "A", 1), "0. A_Port1");
    EXPECT_EQ(formatCameraLinkPortName(INT_MIN, "B", INT_MIN), "-2147483648. B_Port-2147483648");
    const std::string longName = formatCameraLinkPortName(12, std::string(1000, 'b'), 3);
    EXPECT_EQ(longName.size(), kMaxCameraLinkPortNameLength);
    EXPECT_EQ(cameraLinkPortIndexOfName(longName), 12);
    EXPECT_EQ(formatCameraLinkPortName(1, "\0\xff"s, 0), "1. \0\xff_Port0"s);

    const struct {
        const char* name;
        std::string text;
        int index;
    } rows[] = {
        {"leading number", "12. X_Port3", 12},
        {"largest int", "2147483647. X", INT_MAX},
        {"one past the largest int", "2147483648. X", -1},
        {"very long number", std::string(300, '9'), -1},
        {"leading zeros", std::string(300, '0') + "7. X", 7},
        {"sign", "-1. X", -1},
        {"blank first", " 1. X", -1},
        {"empty", "", -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(cameraLinkPortIndexOfName(row.text), row.index);
    }
}

TEST(CameraLinkPortNames, BoxPositions)
{
    const std::vector<std::string> shown{"0. A_Port0", "1. A_Port1", "10. B_Port0", "2. A_Port2", "junk"};
    EXPECT_EQ(cameraLinkPortBoxPosition(shown, 10), 2);
    EXPECT_EQ(cameraLinkPortBoxPosition(shown, 2), 3);
    EXPECT_EQ(cameraLinkPortBoxPosition(shown, INT_MIN), 0);
    EXPECT_EQ(cameraLinkPortBoxPosition(shown, INT_MAX), -1);
    EXPECT_EQ(cameraLinkPortBoxPosition({}, 0), -1);
    EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(shown, 2), 10);
    EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(shown, 4), -1);
    EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(shown, 5), -1);
    EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(shown, INT_MIN), -1);
    EXPECT_EQ(cameraLinkPortIndexAtBoxPosition(shown, INT_MAX), -1);
}

TEST(SdkRoot, PathsNoInstallationHas)
{
    const struct {
        const char* name;
        std::string path;
        std::optional<std::string> root;
    } rows[] = {
        {"backslashes only", std::string(5000, '\\'), std::nullopt},
        {"bin after many backslashes", std::string(100, '\\') + "bin\\a.exe", std::nullopt},
        {"deep path", "C:" + std::string(2000, 'x') + "\\bin" + std::string(2000, '\\') + "a.exe", "C:" + std::string(2000, 'x')},
        {"single backslash", "\\", std::nullopt},
        {"NUL in a directory name", "C:\\X\\bin\0\\a.exe"s, std::nullopt},
        {"bin at the end", "C:\\X\\bin\\", "C:\\X"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(sdkRootFromModulePath(row.path), row.root);
    }
    EXPECT_EQ(sdkRootFromEnvironmentValue(""), "");
    EXPECT_EQ(sdkRootFromEnvironmentValue("\\"), "\\");
    EXPECT_EQ(sdkRootFromEnvironmentValue(std::string(1 << 20, '\\')), "\\");
    EXPECT_FALSE(isSdkSubdirectoryName(""));
    EXPECT_TRUE(isSdkSubdirectoryName("HARDWARE APPLETS"));
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

class Shown : public DiscoveryUi {
public:
    std::vector<std::string> texts;
    void showLibraryError(const std::string& text) override { texts.push_back(text); }
};

TEST(VirtualPairMerge, TextsThatFillTheirBuffers)
{
    FullBufferLibrary library;
    Shown ui;
    std::vector<clser::VirtualPair> entries{{"", std::string(20, 'P'), ""}, {"", "COM1", ""}};
    mergeVirtualPairs(entries, library, ui);
    // Pair 0 replaces the plain entry of its name; pair 2 replaces pair 1 (same name).
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].portName, "COM1");
    EXPECT_EQ(entries[1].pairId, std::string(20, 'I'));
    EXPECT_EQ(entries[1].portName, std::string(20, 'P'));
    EXPECT_EQ(entries[2].portName, std::string(20, 'Q'));
    EXPECT_EQ(entries[2].partnerName, std::string(20, 'R'));
    EXPECT_TRUE(ui.texts.empty());
}

TEST(VirtualPairMerge, ErrorTextThatFillsWhatItAnnounced)
{
    FullBufferLibrary library;
    library.errorSize = 64;
    Shown ui;
    std::vector<clser::VirtualPair> entries;
    mergeVirtualPairs(entries, library, ui);
    ASSERT_EQ(ui.texts.size(), 1u);
    EXPECT_EQ(ui.texts[0], std::string(64, 'e'));
    EXPECT_TRUE(entries.empty());
}

TEST(VirtualPairMerge, NegativeAndHugeCounts)
{
    FullBufferLibrary library;
    Shown ui;
    std::vector<clser::VirtualPair> entries;
    library.count = INT_MIN;
    mergeVirtualPairs(entries, library, ui);
    EXPECT_TRUE(entries.empty());
    library.count = 10000;
    mergeVirtualPairs(entries, library, ui);
    // Every pair after the first names the same port, so each replaces the one before.
    EXPECT_EQ(entries.size(), 2u);
}

} // namespace
} // namespace clser::discovery
