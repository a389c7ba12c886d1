// The rule for writing one block to the COM port, against scripted write results.
#include "com_block_write.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace clser {
namespace {

struct Attempt {
    int status;
    uint32_t written;
};

struct BlockWriteRow {
    const char* shows;
    uint32_t count;
    std::vector<Attempt> attempts;  // what each write returns, in order
    // Expected:
    int status;
    uint32_t sent;
    int pauses;
    std::vector<uint32_t> pausesBegan;  // bytes sent when each run of pauses began
    std::vector<uint32_t> offsets;      // where in the block each write started
    size_t stopAfterWrites = 0;         // the transfer stops after this many writes (0: never)
};

TEST(ComBlockWrite, WritesTheRestAfterPartsAndPausesOnlyWhileNothingGoes)
{
    const std::vector<Attempt> nothing(20, Attempt{0, 0});
    const BlockWriteRow rows[] = {
        {"whole block at once", 1024, {{0, 1024}}, 0, 1024, 0, {}, {0}},
        {"parts go on with the rest, no pause", 1024, {{0, 300}, {0, 700}, {0, 24}}, 0, 1024, 0, {}, {0, 300, 1000}},
        {"nothing, then all after one pause", 6, {{0, 0}, {0, 6}}, 0, 6, 1, {0}, {0, 0}},
        {"nothing at all: ten pauses, eleven writes", 6, nothing, 0, 0, 10, {0},
         std::vector<uint32_t>(11, 0)},
        {"progress ends a run of pauses: the rest gets its own", 100,
         {{0, 0}, {0, 0}, {0, 40}, {0, 0}, {0, 60}}, 0, 100, 3, {0, 40}, {0, 0, 0, 40, 40}},
        {"a run after a part uses up its pauses", 10,
         {{0, 4}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}},
         0, 4, 10, {4}, {0, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
        {"an error ends it at once", 50, {{0, 20}, {-22, 0}}, -22, 20, 0, {}, {0, 20}},
        {"a short write with an error ends it with the part", 50, {{-13, 10}}, -13, 10, 0, {}, {0}},
        {"a count beyond the block is taken as the block", 8, {{0, 9}}, 0, 8, 0, {}, {0}},
        {"a stop ends a run of pauses", 6, nothing, 0, 0, 3, {0}, {0, 0, 0}, 3},
        {"a stop ends a block that goes a byte at a time", 100, {{0, 1}, {0, 1}, {0, 1}}, 0, 2, 0, {}, {0, 1}, 2},
    };
    for (const BlockWriteRow& row : rows) {
        SCOPED_TRACE(row.shows);
        std::string block(row.count, 'x');
        size_t next = 0;
        std::vector<uint32_t> offsets;
        std::vector<uint32_t> began;
        int pauses = 0;
        const ComBlockWrite r = writeBlockToCom(
            reinterpret_cast<const uint8_t*>(block.data()), row.count, 10,
            [&](const uint8_t* bytes, uint32_t n, uint32_t& written) {
                offsets.push_back(static_cast<uint32_t>(bytes - reinterpret_cast<const uint8_t*>(block.data())));
                EXPECT_EQ(offsets.back() + n, row.count) << "every write asks for the whole rest";
                if (next >= row.attempts.size()) {
                    ADD_FAILURE() << "more writes than scripted";
                    return -1;
                }
                const Attempt a = row.attempts[next++];
                written = a.written;
                return a.status;
            },
            [&] { ++pauses; }, [&](uint32_t sentSoFar) { began.push_back(sentSoFar); },
            [&] { return row.stopAfterWrites == 0 || next < row.stopAfterWrites; });
        EXPECT_EQ(r.stopped, row.stopAfterWrites != 0);
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.sent, row.sent);
        EXPECT_EQ(r.pauses, row.pauses);
        EXPECT_EQ(pauses, row.pauses);
        EXPECT_EQ(began, row.pausesBegan);
        EXPECT_EQ(offsets, row.offsets);
        EXPECT_EQ(r.complete(row.count), row.status == 0 && row.sent == row.count);
    }
}

} // namespace
} // namespace clser
