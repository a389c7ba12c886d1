// What both transfer modes do with the bytes they move: trace a block, write a block
// to the COM port with its pauses and retries, and end the transfer on a failure with
// its line and the connection-error flag.
#pragma once

#include "bridge_connection.h"

#include <cstdint>
#include <string>

namespace clser {

// The line of a failure: the format with the status in it.
std::string withStatus(const char* format, int status);

class TransferSteps {
public:
    explicit TransferSteps(BridgeConnection& connection) : c_(connection) {}

    // A failure that ends the transfer: its line, and the flag that lets the watch end
    // the connection and tell the user. Always false.
    bool endWith(std::string line);
    // The heading and the trace line of a block, together, so that lines of the other
    // direction never come between them.
    void addTracedBlock(const char* heading, const uint8_t* bytes, uint32_t count);
    // Camera Link to COM: writes a block with its pauses and retries (see
    // writeBlockToCom). status receives the last write's. False, after the failure line
    // and the flag, when the port reports an error, the rest still does not go, or the
    // transfer is stopping before it went.
    bool writeToCom(const uint8_t* bytes, uint32_t count, int& status);

private:
    BridgeConnection& c_;
    // Camera Link to COM only; 64 bits, so that a long-running bridge never overflows them.
    uint64_t totalToWrite_ = 0;
    uint64_t totalWritten_ = 0;
};

} // namespace clser
