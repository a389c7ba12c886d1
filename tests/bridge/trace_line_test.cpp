#include "trace_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using clser::formatTraceLine;

namespace {

std::string traced(std::vector<uint8_t> bytes) { return formatTraceLine(bytes.data(), bytes.size()); }

TEST(TraceLine, EachByteAsHexCharacterAndSpace)
{
    EXPECT_EQ(traced({0x41}), "41[A] ");
    EXPECT_EQ(traced({0xE9}), std::string("e9[") + static_cast<char>(0xE9) + "] ");
    EXPECT_EQ(traced({'I', 'D', '?', '\r'}), "49[I] 44[D] 3f[?] d[.] ");
    EXPECT_EQ(traced({0x0F, 0x10, 0xFF}), "f[.] 10[.] ff[" + std::string(1, static_cast<char>(0xFF)) + "] ");
    EXPECT_EQ(traced({}), "");
}

TEST(TraceLine, ControlBytesNeverEndOrBreakTheLine)
{
    const std::string line = traced({0x00, '\n', '\t', 0x7F, 'a'});
    EXPECT_EQ(line, "0[.] a[.] 9[.] 7f[.] 61[a] ");
    EXPECT_EQ(line.find('\0'), std::string::npos);
}

TEST(TraceLine, FullBlockKeepsEveryByte)
{
    std::vector<uint8_t> block(1024);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i);
    const std::string line = traced(block);
    size_t pieces = 0;
    for (size_t pos = 0; (pos = line.find("] ", pos)) != std::string::npos; pos += 2)
        ++pieces;
    EXPECT_EQ(pieces, block.size());
    // Per 256 values: 16 one-digit pieces (5 characters each), 240 two-digit ones (6 each).
    EXPECT_EQ(line.size(), 4 * (16u * 5 + 240u * 6));
    EXPECT_EQ(line.find('\n'), std::string::npos);

    const std::vector<uint8_t> large(1 << 20, 0xFF);
    EXPECT_EQ(traced(large).size(), large.size() * 6);
    EXPECT_EQ(formatTraceLine(nullptr, 0), "");
}

} // namespace
