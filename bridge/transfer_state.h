// State that the transfer thread shares with the user-interface thread. A bridge
// process serves one connection, so there is one of each, for the whole process.
#pragma once

#include "cl_serial_port.h"
#include "com_port.h"
#include "critical_section.h"
#include "trace_sink.h"

#include <atomic>

namespace clser {

struct TransferState {
    ClSerialPort clPort;
    ComPort comPort;
    std::atomic<bool> run{false};
    std::atomic<bool> connectionError{false};
    std::atomic<bool> echo{false};
    // Read at the start of every pass, so a change reaches a running connection.
    std::atomic<bool> lowLatency{false};
    std::atomic<TraceSink*> traceList{nullptr};
    // Held by the transfer thread for its whole run; the stop takes it before it
    // closes the ports, so they are never closed under a running transfer.
    CriticalSection portLock;
    // Serialises trace lines (and the COM write failure line).
    CriticalSection traceLock;
};

TransferState& transferState();

} // namespace clser
