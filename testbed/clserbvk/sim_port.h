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

// Status of a call that began while another call on the same reference was still in
// progress (strict mode). It is the simulation's own: no Camera Link call returns it.
constexpr int32_t kSimErrCallsOverlap = -10090;

// What a port saw from its open on, told when its last open reference closes.
struct PortTotals {
    uint64_t droppedBytes = 0;       // lost to a full receive buffer
    uint64_t overlappingCalls = 0;   // calls that began while another on their reference ran
};

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
    // was the port's last open reference, returns what the port saw since it was opened;
    // otherwise zeros.
    PortTotals close(PortSession& session);

    // Counts a call that overlapped another on the same reference (and rewrites the
    // overlap log). Takes only a lock of its own, never the one a call in progress holds.
    void countOverlap();

    // Status codes as the Camera Link serial calls return them.
    int32_t setBaudRate(PortSession& session, uint32_t constant);
    int32_t read(PortSession& session, int8_t* buffer, uint32_t* count, uint32_t timeoutMs);
    int32_t write(PortSession& session, const int8_t* buffer, uint32_t* count, uint32_t timeoutMs);

private:
    std::mutex lock_;
    std::condition_variable changed_;
    SimCamera camera_;
    int openSessions_ = 0;
    std::mutex overlapLock_;   // guards overlaps_ and the overlap log
    uint64_t overlaps_ = 0;

    void writeOverlapLog();
};

} // namespace clser::sim
