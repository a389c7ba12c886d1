// A connection's user side served over the network: the client of a network endpoint
// in place of the virtual pair. A client's request for one of the Camera Link line
// rates sets the camera's rate; connects, disconnects and refusals become trace lines.
#pragma once

#include "cl_serial_port.h"
#include "network_endpoint.h"
#include "user_side.h"

#include <atomic>
#include <functional>
#include <string>

namespace clser {

class NetworkUserSide : public UserSide {
public:
    // wake: the connection's wake event, which ends a waiting read. addLine hands a
    // trace line over; clPort is the connection's camera port; clBaudCode the rate it
    // was opened at.
    NetworkUserSide(const network::NetworkSettings& settings, const network::EndpointTimings& timings, HANDLE wake,
                    ClSerialPort& clPort, int32_t clBaudCode, std::function<void(std::string)> addLine);

    // Starts listening: 0, or the negative status of the failure (-100: port taken).
    int open() { return endpoint_.open(); }
    void close() { endpoint_.close(); }
    // Ends the endpoint's waits at once: the connection is stopping.
    void interrupt() { endpoint_.interrupt(); }
    std::string clientAddress() const { return endpoint_.clientAddress(); }

    int read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs) override
    {
        return endpoint_.read(buffer, wanted, got, timeoutMs);
    }
    int enterArrivedReads() override { return 0; }
    // The endpoint's read returns at its first bytes and when the wake event it was made
    // with is signalled.
    int readArrived(uint8_t* buffer, uint32_t wanted, uint32_t& got, HANDLE) override
    {
        return endpoint_.read(buffer, wanted, got, INFINITE);
    }
    int leaveArrivedReads() override { return 0; }
    int write(const uint8_t* buffer, uint32_t count, uint32_t& written) override
    {
        return endpoint_.write(buffer, count, written);
    }

private:
    uint32_t onBaudRateRequested(uint32_t bitsPerSecond);

    ClSerialPort& clPort_;
    std::function<void(std::string)> addLine_;
    std::atomic<uint32_t> rateInForce_;
    network::NetworkEndpoint endpoint_;
};

} // namespace clser
