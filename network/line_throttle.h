// How often a kind of event that a peer can repeat at will (a refused client, a rate
// change) becomes a trace line: one a second at the most, the others counted and told in
// one line once the second has passed, so that a flood cannot flood the trace list.
// Plain logic over a millisecond clock.
#pragma once

#include <cstdint>

namespace clser::network {

class LineThrottle {
public:
    static constexpr uint64_t kIntervalMs = 1000;

    // The event came at nowMs: true when its own line is due now.
    bool admit(uint64_t nowMs)
    {
        if (reported_ && nowMs - lastLineMs_ < kIntervalMs) {
            ++heldBack_;
            return false;
        }
        reported_ = true;
        lastLineMs_ = nowMs;
        return true;
    }

    // The events held back, once their line is due (then the count starts again); 0
    // while none are held back or the second has not passed.
    uint32_t heldBackDue(uint64_t nowMs)
    {
        if (heldBack_ == 0 || nowMs - lastLineMs_ < kIntervalMs)
            return 0;
        const uint32_t count = heldBack_;
        heldBack_ = 0;
        lastLineMs_ = nowMs;
        return count;
    }

    // Milliseconds until heldBackDue can say something (0 when nothing is held back).
    uint64_t msUntilDue(uint64_t nowMs) const
    {
        if (heldBack_ == 0)
            return 0;
        const uint64_t since = nowMs - lastLineMs_;
        return since >= kIntervalMs ? 1 : kIntervalMs - since;
    }

private:
    bool reported_ = false;
    uint64_t lastLineMs_ = 0;
    uint32_t heldBack_ = 0;
};

} // namespace clser::network
