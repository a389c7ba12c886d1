// What both transfer modes do with the bytes they move: trace a block, write a block
// to the user's side with its pauses and retries, and end the transfer on a failure
// with its line and the connection-error flag.
#pragma once

#include "transfer_link.h"

#include <cstdint>
#include <string>

namespace clser {

// The line of a failure: the format with the status in it.
std::string withStatus(const char* format, int status);

// The failures of a transfer step, each with its line; the port's own text of the
// status follows in brackets where it has one.
enum class TransferFailure { userRead, cameraWrite, cameraRead, cameraReaderStart };
std::string failureLine(TransferFailure failure, int status, const std::string& portText = {});

class TransferSteps {
public:
    explicit TransferSteps(TransferLink& link) : link_(link) {}

    // A failure that ends the transfer: its line, and the flag that lets the watch end
    // the connection and tell the user. Always false.
    bool endWith(std::string line);
    bool endWith(TransferFailure failure, int status) { return endWith(failureLine(failure, status)); }
    // A block moved: recorded, and traced with its heading when echo is on.
    void noteBlock(bool toCamera, const uint8_t* bytes, uint32_t count);
    // User side to camera: one write of a block. False, after the failure line and the
    // flag, when the camera refuses it.
    bool writeToCamera(const uint8_t* bytes, uint32_t count, int& status);
    // Camera to user side: writes a block with its pauses and retries (see
    // writeBlockToCom). status receives the last write's. False, after the failure line
    // and the flag, when the port reports an error or the rest still does not go; false
    // without either when the transfer is stopping before the rest went.
    bool writeToUser(const uint8_t* bytes, uint32_t count, int& status);

private:
    TransferLink& link_;
    // Camera to user side only; 64 bits, so that a long-running bridge never overflows them.
    uint64_t totalToWrite_ = 0;
    uint64_t totalWritten_ = 0;
};

} // namespace clser
