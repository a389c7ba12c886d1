// The running bridge: one Camera Link serial port joined to one user side (the bridge
// end of a virtual pair, or a network client) by the transfer thread. Exists from
// connect to disconnect and owns everything the transfer thread works on: both ports,
// the signals it shares with the user-interface thread, the locks and the timings. The
// transfer sees none of it but the link it is handed.
#pragma once

#include "cl_serial_port.h"
#include "com_port.h"
#include "connection_settings.h"
#include "critical_section.h"
#include "network_user_side.h"
#include "trace_sink.h"
#include "traffic_recorder.h"
#include "transfer_link.h"
#include "unique_handle.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace clser {

class BridgeConnection : private TransferReport {
public:
    BridgeConnection(const std::string& devicePath, const ConnectionSettings& settings,
                     const TransferTimings& timings = {}, ThreadStarter startThread = nullptr);
    // Stops a transfer still running and closes the network endpoint; the other ports
    // close with their owners.
    ~BridgeConnection() override;
    BridgeConnection(const BridgeConnection&) = delete;
    BridgeConnection& operator=(const BridgeConnection&) = delete;

    // Opens the Camera Link port on the connection's library at the line's rate, and
    // throws away what the port holds where the library can. On a failure that its status
    // alone does not explain, clPortProblem() says why: the library could not be bound,
    // or the port's list of rates leaves the rate out (naming the rates it has).
    [[nodiscard]] int openClPort();
    const std::string& clPortProblem() const { return clPortProblem_; }
    // The Camera Link library's own text of a status; empty when it has none.
    std::string clPortErrorText(int status) const { return clPort_.errorText(status); }
    // Opens the user side: the bridge end of the pair, whose bytes already queued are
    // thrown away, or for a network connection the listening endpoint (no COM port is
    // opened then).
    [[nodiscard]] int openComPort();
    bool servesNetwork() const { return network_ != nullptr; }
    // Sets the run flag, hands over the trace list and starts the transfer thread.
    // 0 when it runs, else the status of the Windows error of the failed start.
    [[nodiscard]] int startTransfer(TraceSink* traceList);
    // Clears the run flag, waits for the thread to leave the port lock, closes both
    // ports under that lock, and waits for the thread to end.
    void stopTransfer();
    // True once the transfer thread has ended (or none was started), waiting up to
    // timeoutMs for it.
    bool waitForTransferEnd(DWORD timeoutMs) const;

    // The network client served ("a.b.c.d:port"), empty when none or on a virtual pair.
    std::string networkClient() const;

    // Set by the user-interface thread, read by the transfer thread before each block
    // (echo) or at the start of each pass (low latency).
    void setEcho(bool on) { signals_.echo = on; }
    void setLowLatency(bool on);
    bool lowLatency() const { return signals_.lowLatency; }

    bool running() const { return signals_.run; }
    // Set by the transfer thread when a failure ended it; read by the watch.
    bool connectionError() const { return signals_.connectionError; }

    // The traffic record of this connection (none: nothing is recorded). Set before the
    // transfer starts; its recorder outlives the connection. The transfer thread records
    // connectedEvent first, before any block or client event.
    void setRecorder(TrafficRecorder* recorder, std::string connectedEvent)
    {
        recorder_ = recorder;
        connectedEvent_ = std::move(connectedEvent);
    }
    // The system calls behind the precise waits of the low-latency mode.
    void setPreciseTimerSystem(const PreciseTimerSystem& system) { link_.timerSystem = &system; }

private:
    static DWORD WINAPI transferThreadProc(void* connection);
    // A network client asks for a line rate: the camera's line follows when the library
    // takes it. Returns the rate in force afterwards; line: the trace's word on it.
    uint32_t onClientRateRequest(uint32_t bitsPerSecond, std::string& line);
    UserSide& userSide() { return network_ ? static_cast<UserSide&>(*network_) : comPort_; }

    // Where the transfer's lines and records go: the trace list and the record. Lines
    // of two threads never come between a block's heading and its trace line.
    void addLine(std::string line) override;
    void addLinePair(std::string heading, std::string line) override;
    void recordBlock(bool toCamera, const uint8_t* bytes, uint32_t count) override;
    void recordEvent(std::string text) override;
    // A network client's event or a rate it set: a trace line and a record event.
    void addEventLine(std::string line);

    std::string clLibrary_;
    int32_t clPortIndex_;
    int32_t clBaudCode_;
    std::string devicePath_;
    LineSettings line_;
    TransferTimings timings_;
    std::string clPortProblem_;

    // Declared in this order so that a connection destroyed after a failed connect
    // closes the COM port before the Camera Link port.
    ClSerialPort clPort_;
    ComPort comPort_;
    TransferSignals signals_;
    // A network connection's user side, in place of the COM port. Its callbacks use
    // members declared below it, so the destructor closes it first.
    std::unique_ptr<NetworkUserSide> network_;
    // The rate a network client last set on the camera.
    std::atomic<uint32_t> clientRate_;
    std::atomic<TraceSink*> traceList_{nullptr};
    std::atomic<TrafficRecorder*> recorder_{nullptr};
    std::string connectedEvent_;
    // Held by the transfer thread for its whole run; the stop takes it before it
    // closes the ports, so they are never closed under a running transfer.
    CriticalSection portLock_;
    // Serialises trace lines, so that a block's two lines stay together.
    CriticalSection traceLock_;
    TransferLink link_;

    UniqueHandle thread_;
};

} // namespace clser
