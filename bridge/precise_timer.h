// The bridge's own precise waits: a timer that fires within about a millisecond of the
// time asked for. A waitable timer waits as long as the system's timer resolution, by
// default a tick of 15.6 ms, unless it is a high-resolution timer (where the system
// has them) or the process has asked for a 1 ms resolution, which it then gives back.
#pragma once

#include "unique_handle.h"

#include <windows.h>

#include <cstdint>

namespace clser {

// The system calls the timer uses; tests put counting ones in their place.
struct PreciseTimerSystem {
    // A high-resolution waitable timer, or null where the system has none.
    HANDLE (*createHighResolutionTimer)();
    HANDLE (*createTimer)();
    // timeBeginPeriod and timeEndPeriod: 0 on success.
    UINT (*beginPeriod)(UINT ms);
    UINT (*endPeriod)(UINT ms);
};

const PreciseTimerSystem& systemPreciseTimer();

class PreciseTimer {
public:
    explicit PreciseTimer(const PreciseTimerSystem& system = systemPreciseTimer());
    // Gives back the 1 ms resolution, when it was taken.
    ~PreciseTimer();
    PreciseTimer(const PreciseTimer&) = delete;
    PreciseTimer& operator=(const PreciseTimer&) = delete;

    // False when no timer could be made (the Windows error is then in GetLastError).
    bool valid() const { return timer_.valid(); }
    bool highResolution() const { return highResolution_; }
    // Arms the timer to fire once, ms from now; handle() is signalled then.
    bool arm(uint32_t ms);
    HANDLE handle() const { return timer_.get(); }

private:
    const PreciseTimerSystem& system_;
    UniqueHandle timer_;
    bool highResolution_ = false;
    bool periodTaken_ = false;
};

} // namespace clser
