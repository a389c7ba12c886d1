// How the transfer thread writes one block to the COM port: a write that writes
// nothing is tried again after a pause, a write that takes part of the block goes on
// with the rest. A plain function over the write and the pause, so that the rule can be
// checked without a port.
#pragma once

#include <cstdint>
#include <functional>

namespace clser {

struct ComBlockWrite {
    int status = 0;     // status of the last write
    uint32_t sent = 0;  // bytes of the block written, in all
    int pauses = 0;     // pauses taken
    bool stopped = false; // given up because the transfer is stopping
    bool complete(uint32_t count) const { return status == 0 && sent == count; }
};

// Writes bytes[0, count) and returns what was written; written receives the bytes taken.
using ComWritePart = std::function<int(const uint8_t* bytes, uint32_t count, uint32_t& written)>;

// Writes the block. While the writes take nothing it pauses, at most maxPauses times in
// a row, and calls pausesBegin (with the bytes of the block sent so far) before the first
// pause of each such run; a write that takes bytes ends the run, so the rest gets its
// own pauses. Stops at the first write that fails (status not 0), once the block is
// written, when a run has used up its pauses, or when keepGoing, asked before every
// write after the first, says the transfer is stopping: a user side that takes a byte
// now and then must not hold a stop for the whole block.
ComBlockWrite writeBlockToCom(const uint8_t* bytes, uint32_t count, int maxPauses, const ComWritePart& write,
                              const std::function<void()>& pause,
                              const std::function<void(uint32_t sentSoFar)>& pausesBegin,
                              const std::function<bool()>& keepGoing);

} // namespace clser
