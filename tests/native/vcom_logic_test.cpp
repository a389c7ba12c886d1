// The pair library's plain logic under the sanitizers: the list-file parser, the device
// name filter and used numbers, the install-all numbering, the bounded texts and the
// copies into the callers' 20-byte buffers.
#include "install_numbering.h"
#include "list_file_location.h"
#include "pair_list_parser.h"
#include "serial_device_names.h"
#include "text_format.h"
#include "vcom_module.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

using namespace std::string_literals;

namespace clser::vcom {
namespace {

std::string pairLines(const std::string& number, const std::string& a, const std::string& b)
{
    return "       CNCA" + number + " PortName=" + a + "\n       CNCB" + number + " PortName=" + b + "\n";
}

TEST(PairListFile, Shapes)
{
    const struct {
        const char* name;
        std::string text;
        bool valid;
        size_t pairs;
    } rows[] = {
        {"one pair", pairLines("0", "COM5", "TARVCOM5"), true, 1},
        {"empty file", "", true, 0},
        {"empty first line", "\n" + pairLines("0", "COM5", "TARVCOM5"), true, 0},
        {"line of exactly 15 characters", "CNCA0 PortName=\nCNCB0 PortName=TARVCOM5\n", false, 0},
        {"odd line without line feed is ignored", pairLines("0", "COM5", "TARVCOM5") + "       CNCA1 PortName=COM6", true, 1},
        {"odd line with line feed fails", pairLines("0", "COM5", "TARVCOM5") + "       CNCA1 PortName=COM6\n", false, 1},
        {"B before A", "       CNCB0 PortName=TARVCOM5\n       CNCA0 PortName=COM5\n", false, 0},
        {"numbers differ", "       CNCA1 PortName=COM5\n       CNCB2 PortName=TARVCOM5\n", false, 0},
        {"adjacent duplicates collapse", pairLines("0", "COM5", "TARVCOM5") + pairLines("0", "COM5", "TARVCOM5"), true, 1},
        {"second line ends the file", "       CNCA0 PortName=COM5\n       CNCB0 PortName=TARVCOM5", true, 1},
        {"junk without line feed", std::string(1 << 20, 'x'), true, 0},
        {"junk lines", std::string(1 << 20, 'x') + "\n" + std::string(100, 'y') + "\n", false, 0},
        {"line feeds only", std::string(1 << 20, '\n'), true, 0},
        {"spaces only", std::string(40, ' ') + "\n" + std::string(40, ' ') + "\n", false, 0},
        {"NUL bytes in the lines", "       CNCA0\0PortName=COM5\n       CNCB0\0PortName=TARVCOM5\n"s, true, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const PairListParse parse = parsePairList(row.text);
        EXPECT_EQ(parse.valid, row.valid);
        EXPECT_EQ(parse.pairs.size(), row.pairs);
        for (const auto& pair : parse.pairs)
            EXPECT_FALSE(pair.pairId.empty());
    }
}

TEST(PairListFile, PairNumbersAndLongNames)
{
    std::string text;
    for (int n = 0; n < 100; ++n)
        text += pairLines(std::to_string(n), "COM" + std::to_string(n + 10), "TARVCOM" + std::to_string(n + 10));
    const std::string name40(40, 'N');
    text += pairLines("123", name40, name40 + "B");
    text += pairLines(std::string(30, '9'), "COM1", "TARVCOM1");
    const PairListParse parse = parsePairList(text);
    ASSERT_TRUE(parse.valid);
    ASSERT_EQ(parse.pairs.size(), 102u);
    EXPECT_EQ(parse.pairs[12].pairId, "CNC12");
    EXPECT_EQ(parse.pairs[100].pairId, "CNC123");
    EXPECT_EQ(parse.pairs[100].portName, name40);
    EXPECT_EQ(parse.pairs[101].pairId, "CNC" + std::string(30, '9'));

    // What a caller's zero-filled 20-byte buffers receive: at most 19 characters and
    // the terminator, never a byte past the end (the heap blocks are exactly 20 bytes).
    for (const auto& pair : parse.pairs) {
        for (const std::string* text : {&pair.pairId, &pair.portName, &pair.partnerName}) {
            auto buffer = std::make_unique<char[]>(kPairTextBufferSize);
            std::memset(buffer.get(), 0, kPairTextBufferSize);
            copyPairText(buffer.get(), *text);
            EXPECT_EQ(buffer[kPairTextBufferSize - 1], '\0');
            EXPECT_EQ(std::string(buffer.get()), text->substr(0, kPairTextBufferSize - 1));
        }
    }
    copyPairText(nullptr, name40);
}

TEST(ErrorDescription, SizeThenText)
{
    const std::string text = "Error: Invalid naming of virtual COM port pair.\n";
    const int size = describeError(text, nullptr);
    ASSERT_EQ(size, static_cast<int>(text.size() + 1));
    auto buffer = std::make_unique<char[]>(static_cast<size_t>(size));
    EXPECT_EQ(describeError(text, buffer.get()), 0);
    EXPECT_EQ(std::string(buffer.get()), text);
    EXPECT_EQ(describeError("", nullptr), -1);
}

std::string zeroSeparated(std::initializer_list<std::string> names)
{
    std::string list;
    for (const auto& n : names)
        list += n + '\0';
    return list + '\0';
}

TEST(DeviceNames, FilterAndUsedNumbers)
{
    const struct {
        const char* name;
        std::string list;
        std::vector<std::string> taken;
        std::vector<int> used;
    } rows[] = {
        {"COM and TARVCOM names", zeroSeparated({"COM1", "TARVCOM12", "LPT1", "COM"}), {"COM1", "TARVCOM12"}, {1, 12}},
        {"any case is taken, only upper case counts", zeroSeparated({"com4", "tarvCOM5", "Com6"}), {"com4", "tarvCOM5", "Com6"}, {}},
        {"14 characters is the longest", zeroSeparated({"COM12345678901", "COM123456789012"}), {"COM12345678901"}, {}},
        {"number beyond int is no port number", zeroSeparated({"COM2147483648", "COM2147483647"}), {"COM2147483648", "COM2147483647"}, {INT_MAX}},
        {"list ends at the empty name", "COM1\0\0COM2\0\0"s, {"COM1"}, {1}},
        {"list without its end", "COM1\0COM2"s, {"COM1", "COM2"}, {1, 2}},
        {"nothing", "", {}, {}},
        {"digits after a sign", zeroSeparated({"COM-1", "COM+1", "COM 1"}), {}, {}},
        {"leading zeros", zeroSeparated({"COM0007"}), {"COM0007"}, {7}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto names = filterSerialDeviceNames(row.list);
        EXPECT_EQ(names, row.taken);
        EXPECT_EQ(collectUsedPortNumbers(names), row.used);
    }
}

TEST(DeviceNames, HugeAndBinaryLists)
{
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "COM" + std::to_string(i) + '\0';
    EXPECT_EQ(filterSerialDeviceNames(many).size(), 100000u);

    EXPECT_TRUE(filterSerialDeviceNames(std::string(1 << 20, 'C')).empty());
    std::string binary(1 << 16, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 131 + 7);
    for (const auto& name : filterSerialDeviceNames(binary))
        EXPECT_TRUE(name.size() >= 4 && name.size() <= 14);

    // Names not from a listing: empty rests and overlong digit runs give no number.
    EXPECT_TRUE(collectUsedPortNumbers({"", "COM", "TARVCOM", "COM" + std::string(400, '9'), "COMX"}).empty());
}

TEST(InstallNumbering, FirstNumberAndCount)
{
    const struct {
        const char* name;
        std::vector<int> used;
        long long portCount;
        long long listed;
        std::vector<int> numbers;
    } rows[] = {
        {"COM1 COM3 TARVCOM12, four ports, one pair", {1, 3, 12}, 4, 1, {13, 14, 15}},
        {"low numbers start at 10", {1, 2}, 1, 0, {10}},
        {"nothing used", {}, 2, 0, {10, 11}},
        {"highest of ten counts", {10}, 1, 0, {11}},
        {"more pairs than ports", {}, 1, 3, {}},
        {"no ports", {5}, 0, 0, {}},
        {"negative used numbers", {-5, INT_MIN}, 1, 0, {10}},
        {"numbers stop at the largest int", {INT_MAX - 1}, 5, 0, {INT_MAX}},
        {"highest in use is the largest int", {INT_MAX}, 3, 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(numbersToInstall(row.used, row.portCount, row.listed), row.numbers);
    }
}

TEST(InstallNumbering, AbsurdPortCountStaysBounded)
{
    // A broken SDK may report any 32-bit count; the list of numbers must not grow with it.
    const auto numbers = numbersToInstall({}, UINT32_MAX, 0);
    EXPECT_LE(numbers.size(), kMaxPairsToInstall);
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(numbers.front(), 10);
}

TEST(BoundedTexts, NeverPastTheirBuffer)
{
    EXPECT_EQ(formatBounded(0, "%s", "x"), "");
    EXPECT_EQ(formatBounded(4, "%s", "abcdef"), "abc");
    EXPECT_EQ(com0comNotFoundText(std::string(4000, 'd')).size(), 511u);
    EXPECT_EQ(invalidPairIndexText(0), "Error GetOneCOMPair: Invalid index, please give 0--1");
    EXPECT_EQ(invalidPairIndexText(INT_MIN), "Error GetOneCOMPair: Invalid index, please give 0--1");
    EXPECT_EQ(invalidPairIndexText(INT_MAX), "Error GetOneCOMPair: Invalid index, please give 0-2147483646");
    EXPECT_EQ(waitingCountdownText(300), "\rWaiting for install, timeout up to 5 minutes: 05:00");
    EXPECT_EQ(waitingCountdownText(61), "\rWaiting for install, timeout up to 5 minutes: 01:01");
    EXPECT_EQ(waitingCountdownText(70), "\rWaiting for install, timeout up to 5 minutes: 01:10");
    EXPECT_LE(waitingCountdownText(INT_MIN).size(), 127u);
    EXPECT_LE(waitingCountdownText(INT_MAX).size(), 127u);
}

TEST(ListFileLocation, TempValues)
{
    EXPECT_FALSE(listFileLocation(std::nullopt));
    EXPECT_FALSE(listFileLocation(std::string()));
    EXPECT_FALSE(listFileLocation(std::string(512, 't')));
    const auto longest = listFileLocation(std::string(511, 't'));
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->listFile, std::string(511, 't') + "\\TarvVirtualCom.txt");
    const auto blank = listFileLocation("C:\\Users\\A B\\Temp"s);
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->listParameters, "--output \"C:\\Users\\A B\\Temp\\TarvVirtualCom.txt\" list");
    // A percent sign in TEMP is text, not a format directive.
    const auto percent = listFileLocation("C:\\%s%n%x"s);
    ASSERT_TRUE(percent);
    EXPECT_EQ(percent->listFile, "C:\\%s%n%x\\TarvVirtualCom.txt");
}

} // namespace
} // namespace clser::vcom
