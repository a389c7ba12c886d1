// One simulated Camera Link serial port as callers see it: the camera behind it, the
// lock and wake-up that every open reference to the port shares, and the blocking
// reads and writes with their time-outs and injected faults. Plain C++ threads only.
#pragma once

#include "sim_camera.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <ratio>

namespace clser::sim {

// A system tick: the step in which a wait counted by the tick counter, or a kernel wait at
// the default timer resolution, runs out (1/64 s, 15.625 ms).
using SystemTick = std::chrono::duration<int64_t, std::ratio<1, 64>>;

// When a read that starts at `start` with a time-out of `timeoutMs` gives up. Counted in
// ticks, its time-out ends at the first tick boundary (a whole number of ticks since the
// clock's epoch) at or after the requested time; otherwise exactly at the requested time.
// A time-out of 0 ends at `start` either way: such a read hands over what is there.
TimePoint readDeadline(TimePoint start, uint32_t timeoutMs, bool tickGranular);

// What belongs to one open reference: its fault counters and whether it was closed.
struct PortSession {
    uint32_t reads = 0;
    uint32_t writes = 0;
    bool closed = false;
};

class SimPort {
public:
    explicit SimPort(PortConfig config) : camera_(std::move(config)) {}

    const PortConfig& config() const { return camera_.config(); }

    // The first open reference finds a quiet line: nothing half-received, nothing queued.
    void open(PortSession& session);
    // Ends the reference; a read or write it has in progress returns at once. When it
    // was the port's last open reference, returns the bytes the receive buffer dropped
    // since the port was opened; otherwise 0.
    uint64_t close(PortSession& session);

    // Status codes as the Camera Link serial calls return them.
    int32_t setBaudRate(PortSession& session, uint32_t constant);
    int32_t read(PortSession& session, int8_t* buffer, uint32_t* count, uint32_t timeoutMs);
    int32_t write(PortSession& session, const int8_t* buffer, uint32_t* count, uint32_t timeoutMs);

private:
    std::mutex lock_;
    std::condition_variable changed_;
    SimCamera camera_;
    int openSessions_ = 0;
};

} // namespace clser::sim
