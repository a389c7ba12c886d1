// All that the transfer steps and the low-latency threads work with: the user's side,
// the camera's side, the timings, the signals the owner sets, and where lines and
// records go. The connection that owns the ports, the locks and the thread hands it
// over; tests hand over ports of their own.
#pragma once

#include "camera_port.h"
#include "precise_timer.h"
#include "transfer_timings.h"
#include "unique_event.h"
#include "user_side.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace clser {

// Starts a thread as CreateThread does; tests put a failing one in its place.
using ThreadStarter = HANDLE (*)(LPTHREAD_START_ROUTINE proc, void* argument, DWORD* threadId);
HANDLE startSystemThread(LPTHREAD_START_ROUTINE proc, void* argument, DWORD* threadId);

// Set by the owner, read by the transfer: the run flag, echo and the transfer mode (read
// before each block, or at the start of each pass), and the wake event, signalled and
// left signalled when a stop is asked for or the mode changes, so that a transfer
// waiting for bytes notices at once (the transfer resets it). The transfer sets
// connectionError when a failure ended it.
struct TransferSignals {
    std::atomic<bool> run{false};
    std::atomic<bool> echo{false};
    std::atomic<bool> lowLatency{false};
    std::atomic<bool> connectionError{false};
    UniqueEvent wake;
};

// Where the transfer's lines and records go; none of the calls waits for the user
// interface or the disk.
class TransferReport {
public:
    virtual ~TransferReport() = default;
    virtual void addLine(std::string line) = 0;
    // A block's heading and its trace line, kept together in the trace list.
    virtual void addLinePair(std::string heading, std::string line) = 0;
    // A block the transfer moves, in the order it moves them.
    virtual void recordBlock(bool toCamera, const uint8_t* bytes, uint32_t count) = 0;
    virtual void recordEvent(std::string text) = 0;
};

struct TransferLink {
    UserSide& user;
    CameraPort& camera;
    const TransferTimings& timings;
    TransferSignals& signals;
    TransferReport& report;
    // Starts the low-latency mode's second thread.
    ThreadStarter startThread = startSystemThread;
    // The system calls behind the precise waits of the low-latency mode.
    const PreciseTimerSystem* timerSystem = &systemPreciseTimer();

    bool running() const { return signals.run; }
};

} // namespace clser
