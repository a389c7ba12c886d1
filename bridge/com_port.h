// The bridge's handle on the COM port it bridges (the TARVCOMn end of a pair):
// fixed line handling, per-call time-outs, synchronous reads and writes.
// Statuses: 0 success; negative: the negated error number of the Windows error.
#pragma once

#include "unique_handle.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace clser {

class ComPort {
public:
    static constexpr uint32_t kQueueSize = 16384;
    static constexpr uint32_t kDefaultTimeoutMs = 100;

    // Opens the device path unchanged ("\\.\TARVCOM5") with the line settings:
    // parity 0/1/2 (none/odd/even), stop-bit code 0/1/2 (1/1.5/2). On failure the
    // port is closed again.
    int open(const char* path, uint32_t baudRate, int parity, uint32_t dataBits, int stopBits);
    int setReadTimeout(uint32_t ms);
    int setWriteTimeout(uint32_t ms);
    // Changes only the read interval time-out (0: the reads wait for their count or
    // their total time-out); previous, when given, receives the value it replaced.
    int setReadIntervalTimeout(uint32_t ms, uint32_t* previous = nullptr);
    int read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs);
    // A short write with no Windows error recorded returns 0 with written < count.
    int write(const uint8_t* buffer, uint32_t count, uint32_t& written);
    int close();

    bool isOpen() const { return handle_.valid(); }
    HANDLE handle() const { return handle_.get(); }

    // Where the diagnostic lines go (standard output unless a test says otherwise).
    static void setDiagnosticStream(std::FILE* stream);

private:
    int failAndClose(DWORD windowsError);

    // Null when closed; a failed open leaves it null.
    UniqueHandle handle_;
};

} // namespace clser
