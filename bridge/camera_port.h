// The camera's side of a connection as the transfer reads and writes it: the Camera
// Link serial port (ClSerialPort), or in tests a port of their own.
// Statuses: 0 success, negative on failure.
#pragma once

#include <cstdint>
#include <string>

namespace clser {

class CameraPort {
public:
    virtual ~CameraPort() = default;
    // count: in, the most bytes wanted; out, the bytes delivered. A time-out is a
    // success that may deliver 0 bytes.
    [[nodiscard]] virtual int read(uint8_t* buffer, uint32_t& count, uint32_t timeoutMs) = 0;
    // written receives the bytes the camera took.
    [[nodiscard]] virtual int write(const uint8_t* buffer, uint32_t count, uint32_t& written) = 0;
    // The port's own text of a failure status; empty when it has none.
    virtual std::string errorText(int /*status*/) const { return {}; }
};

} // namespace clser
