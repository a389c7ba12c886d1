// The running bridge: one Camera Link serial port joined to one COM port by the
// transfer thread. Exists from connect to disconnect.
#pragma once

#include "connection_settings.h"
#include "trace_sink.h"
#include "unique_handle.h"

#include <cstdint>
#include <string>

namespace clser {

class BridgeConnection {
public:
    BridgeConnection(const std::string& devicePath, const ConnectionSettings& settings);
    ~BridgeConnection();
    BridgeConnection(const BridgeConnection&) = delete;
    BridgeConnection& operator=(const BridgeConnection&) = delete;

    int openClPort();
    int openComPort();
    // Sets the run flag, hands over the trace list and starts the transfer thread.
    bool startTransfer(TraceSink* traceList);
    // Clears the run flag, waits for the thread to leave the port lock, closes both
    // ports under that lock, and waits for the thread to end.
    void stopTransfer();

    const std::string& devicePath() const { return devicePath_; }
    DWORD threadId() const { return threadId_; }

private:
    int32_t clPortIndex_;
    int32_t clBaudCode_;
    std::string devicePath_;
    uint32_t baudRate_;
    int32_t parity_;
    uint32_t dataBits_;
    int32_t stopBits_;
    UniqueHandle thread_;
    DWORD threadId_ = 0;
};

} // namespace clser
