// A connection's user side served over the network: the client of a network endpoint
// in place of the virtual pair. A client's request for a line rate goes to the owner,
// which sets the camera's rate; connects, disconnects, refusals and rate changes become
// trace lines.
#pragma once

#include "network_endpoint.h"
#include "user_side.h"

#include <functional>
#include <string>

namespace clser {

class NetworkUserSide : public UserSide {
public:
    // Given a client's requested rate in bits per second, sets the camera's line and
    // returns the rate in force afterwards (the one before when it was refused); puts in
    // line what the trace tells of a change or a refusal (at most one such line a second
    // is told, the others counted).
    using RateRequest = std::function<uint32_t(uint32_t bitsPerSecond, std::string& line)>;

    // wake: the connection's wake event, which ends a waiting read. addLine hands a
    // trace line over.
    NetworkUserSide(const network::NetworkSettings& settings, const network::EndpointTimings& timings, HANDLE wake,
                    RateRequest onRateRequest, std::function<void(std::string)> addLine);

    // Starts listening: 0, or the negative status of the failure (-100: port taken).
    [[nodiscard]] int open() { return endpoint_.open(); }
    void close() { endpoint_.close(); }
    // Ends the endpoint's waits at once: the connection is stopping.
    void interrupt() { endpoint_.interrupt(); }
    std::string clientAddress() const { return endpoint_.clientAddress(); }

    int read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs) override
    {
        return endpoint_.read(buffer, wanted, got, timeoutMs);
    }
    // The endpoint's read returns at its first bytes and when the wake event it was made
    // with is signalled.
    int readArrived(uint8_t* buffer, uint32_t wanted, uint32_t& got, HANDLE) override
    {
        return endpoint_.read(buffer, wanted, got, INFINITE);
    }
    int write(const uint8_t* buffer, uint32_t count, uint32_t& written) override
    {
        return endpoint_.write(buffer, count, written);
    }

private:
    std::function<void(std::string)> addLine_;
    network::NetworkEndpoint endpoint_;
};

} // namespace clser
