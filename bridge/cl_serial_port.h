// The bridge's handle on one Camera Link serial port: open by index at a baud-rate
// constant, read with a time-out, write with a fixed time-out, close.
// Statuses: 0 success; negative: the library's status unchanged, or -5 for a short write.
//
// The library is not promised safe for two threads on one reference, and the bridge
// calls it from several (the low-latency mode's two, a network client's rate request,
// the stop): every call on the reference is made under the port's own lock, so no two
// ever overlap. A write goes in slices, each under the lock on its own, so that a long
// write never keeps a read waiting for more than one slice's time on the line.
#pragma once

#include "camera_port.h"
#include "cl_serial_library.h"
#include "critical_section.h"

#include <cstdint>
#include <optional>
#include <string>

namespace clser {

class ClSerialPort : public CameraPort {
public:
    ClSerialPort() = default;
    ClSerialPort(const ClSerialPort&) = delete;
    ClSerialPort& operator=(const ClSerialPort&) = delete;
    ~ClSerialPort() override { close(); }

    static constexpr int kShortWrite = -5;
    static constexpr uint32_t kWriteTimeoutMs = 200;
    // A slice's line time is the longest a write keeps a read waiting. While it goes, the
    // camera can send at most as many bytes the other way (one line rate both ways), so a
    // slice of a quarter of a 4 KiB receive buffer leaves room for everything else; the
    // transfer's blocks are never larger, so each takes one call.
    static constexpr uint32_t kWriteSliceBytes = 1024;

    // Status of clSerialInit when it fails, else that of clSetBaudRate. The port is
    // open from a successful init on, also when the baud rate is refused. A rate the
    // library's list of the port's rates leaves out is refused before it is asked
    // (CL_ERR_BAUD_RATE_NOT_SUPPORTED).
    [[nodiscard]] int open(const ClSerialLibrary& library, uint32_t index, uint32_t clBaudCode);
    // The same on this system's own library; CL_ERR_UNABLE_TO_LOAD_DLL without it.
    [[nodiscard]] int open(uint32_t index, uint32_t clBaudCode);
    // count: in, the most bytes wanted; out, the bytes delivered. A time-out is a
    // success that may deliver 0 bytes; on failure count is left as it was.
    [[nodiscard]] int read(uint8_t* buffer, uint32_t& count, uint32_t timeoutMs) override;
    // written receives the bytes the library took; fewer than count gives -5. Slice by
    // slice; a slice taken short or refused ends the write.
    [[nodiscard]] int write(const uint8_t* buffer, uint32_t count, uint32_t& written) override;
    // Changes the line rate of the open port: the library's status, or
    // CL_ERR_BAUD_RATE_NOT_SUPPORTED unasked for a rate its list of rates leaves out.
    [[nodiscard]] int setBaudRate(uint32_t clBaudCode);
    // Throws away what the open port holds; false when the library has no call for it.
    bool flush();
    // Always 0. The reference is not used again.
    int close();

    // True while the port holds a reference from a successful init.
    bool holdsReference() const;
    // The baud-rate constants the open port runs at, when its library says.
    std::optional<uint32_t> supportedBaudRates() const;
    // The library's own text of a status it returned; empty when it has none, and for a
    // short write, which is this port's own status.
    std::string errorText(int status) const override;

private:
    void closeReference();
    int setBaudRateLocked(uint32_t clBaudCode);

    const ClSerialLibrary* library_ = nullptr;  // of the last open; kept for its texts
    void* ref_ = nullptr;
    mutable CriticalSection lock_;
};

} // namespace clser
