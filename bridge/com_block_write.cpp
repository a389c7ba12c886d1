#include "com_block_write.h"

namespace clser {

ComBlockWrite writeBlockToCom(const uint8_t* bytes, uint32_t count, int maxPauses, const ComWritePart& write,
                              const std::function<void()>& pause,
                              const std::function<void(uint32_t sentSoFar)>& pausesBegin,
                              const std::function<bool()>& keepGoing)
{
    ComBlockWrite r;
    int run = 0;
    for (bool first = true;; first = false) {
        if (!first && !keepGoing()) {
            r.stopped = true;
            return r;
        }
        uint32_t written = 0;
        r.status = write(bytes + r.sent, count - r.sent, written);
        // A port never reports more than it was given; a wrong count must not run past the block.
        r.sent += written < count - r.sent ? written : count - r.sent;
        if (r.status != 0 || r.sent == count)
            return r;
        if (written > 0) {
            run = 0;
            continue;
        }
        if (run == 0)
            pausesBegin(r.sent);
        if (run == maxPauses)
            return r;
        pause();
        ++run;
        ++r.pauses;
    }
}

} // namespace clser
