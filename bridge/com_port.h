// The bridge's handle on the COM port it bridges (the TARVCOMn end of a pair):
// fixed line handling, per-call time-outs, reads and writes that return when they are
// done. The port is opened for overlapped use, so that a read waiting on one thread
// never holds up a write on another (a synchronous handle serialises the two); each
// read and write waits for its own completion, so to its caller it is synchronous.
// Statuses: 0 success; negative: the negated error number of the Windows error.
#pragma once

#include "line_settings.h"
#include "unique_handle.h"
#include "user_side.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace clser {

class ComPort : public UserSide {
public:
    static constexpr uint32_t kQueueSize = 16384;
    static constexpr uint32_t kDefaultTimeoutMs = 100;

    // Opens the device path unchanged ("\\.\TARVCOM5") with the line settings. On
    // failure the port is closed again.
    [[nodiscard]] int open(const char* path, const LineSettings& line);
    // inForce, when given, receives the time-outs the port has afterwards.
    int setReadTimeout(uint32_t ms, COMMTIMEOUTS* inForce = nullptr);
    int setWriteTimeout(uint32_t ms);
    // Reads with this read time-out; after arrived reads, the port's own read interval
    // and multiplier come back first.
    [[nodiscard]] int read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs) override;
    // Waits, with no time-out, until bytes arrive or wake is signalled, and takes what
    // has arrived (up to wanted) the moment the first byte is there: a read of one byte
    // completes when that byte comes, and the bytes queued behind it are read at once.
    // Woken with nothing arrived: 0 with got 0. The first of a run of these reads sets
    // the read time-outs to 0, so that it waits for its byte whatever the port had; the
    // next plain read puts the port's values back.
    [[nodiscard]] int readArrived(uint8_t* buffer, uint32_t wanted, uint32_t& got, HANDLE wake) override;
    // A short write with no Windows error recorded returns 0 with written < count.
    [[nodiscard]] int write(const uint8_t* buffer, uint32_t count, uint32_t& written) override;
    int close();

    bool isOpen() const { return handle_.valid(); }
    HANDLE handle() const { return handle_.get(); }

    // Where the diagnostic lines go (standard output unless a test says otherwise).
    static void setDiagnosticStream(std::FILE* stream);

private:
    int failAndClose(DWORD windowsError);
    // Around a run of arrived reads: read time-outs all 0, then the port's own again.
    int useReadWaitsForBytes();
    int restoreReadTimeouts();
    // Waits for an overlapped read or write begun with ok/the event, cancelling it when
    // it is not done within boundMs; n receives the bytes it moved. False with the
    // Windows error in error when it failed.
    bool complete(BOOL ok, OVERLAPPED& o, DWORD& n, DWORD& error, DWORD boundMs);

    // Null when closed; a failed open leaves it null.
    UniqueHandle handle_;
    // One event for the reads and one for the writes, which may run on two threads.
    UniqueHandle readDone_;
    UniqueHandle writeDone_;
    // The write time-out in force (the multiplier is the port's own).
    uint32_t writeMultiplierMs_ = 0;
    uint32_t writeConstantMs_ = kDefaultTimeoutMs;
    // The read time-outs that arrived reads replaced, while they are in force.
    bool arrivedReads_ = false;
    COMMTIMEOUTS portReadTimeouts_{};
};

} // namespace clser
