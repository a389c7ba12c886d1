// The running bridge: one Camera Link serial port joined to one COM port by the
// transfer thread. Exists from connect to disconnect and owns everything the transfer
// thread works on: both ports, the flags it shares with the user-interface thread,
// the two locks and the timings.
#pragma once

#include "cl_serial_port.h"
#include "com_port.h"
#include "connection_settings.h"
#include "critical_section.h"
#include "network_user_side.h"
#include "precise_timer.h"
#include "trace_sink.h"
#include "traffic_recorder.h"
#include "transfer_timings.h"
#include "unique_handle.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace clser {

// Starts a thread as CreateThread does; tests put a failing one in its place.
using ThreadStarter = HANDLE (*)(LPTHREAD_START_ROUTINE proc, void* argument, DWORD* threadId);

class BridgeConnection {
public:
    BridgeConnection(const std::string& devicePath, const ConnectionSettings& settings,
                     const TransferTimings& timings = {}, ThreadStarter startThread = nullptr);
    // Stops a transfer still running; the ports close with their owners.
    ~BridgeConnection();
    BridgeConnection(const BridgeConnection&) = delete;
    BridgeConnection& operator=(const BridgeConnection&) = delete;

    int openClPort();
    // Opens the user side: the bridge end of the pair, or for a network connection the
    // listening endpoint (no COM port is opened then).
    int openComPort();
    bool servesNetwork() const { return network_ != nullptr; }
    // Sets the run flag, hands over the trace list and starts the transfer thread.
    // 0 when it runs, else the status of the Windows error of the failed start.
    int startTransfer(TraceSink* traceList);
    // Clears the run flag, waits for the thread to leave the port lock, closes both
    // ports under that lock, and waits for the thread to end.
    void stopTransfer();
    // True once the transfer thread has ended (or none was started), waiting up to
    // timeoutMs for it.
    bool waitForTransferEnd(DWORD timeoutMs) const;

    const std::string& devicePath() const { return devicePath_; }
    // The network client served ("a.b.c.d:port"), empty when none or on a virtual pair.
    std::string networkClient() const;
    const TransferTimings& timings() const { return timings_; }

    ClSerialPort& clPort() { return clPort_; }
    ComPort& comPort() { return comPort_; }
    // What the transfer reads and writes on the user's side.
    UserSide& userSide() { return network_ ? static_cast<UserSide&>(*network_) : comPort_; }

    // Set by the user-interface thread, read by the transfer thread before each block
    // (echo) or at the start of each pass (low latency).
    void setEcho(bool on) { echo_ = on; }
    bool echo() const { return echo_; }
    void setLowLatency(bool on);
    bool lowLatency() const { return lowLatency_; }

    bool running() const { return run_; }
    // Set by the transfer thread when a failure ended it; read by the watch.
    bool connectionError() const { return connectionError_; }

    // For the transfer thread.
    void clearConnectionError() { connectionError_ = false; }
    void reportConnectionError() { connectionError_ = true; }
    // Hands a line to the trace list without waiting for the user-interface thread.
    void addLine(std::string line);
    // The traffic record of this connection (none: nothing is recorded). Set before the
    // transfer starts; its recorder outlives the connection.
    void setRecorder(TrafficRecorder* recorder) { recorder_ = recorder; }
    // A block the transfer moves, in the order it moves them; never waits for the disk.
    void recordBlock(bool toCamera, const uint8_t* bytes, uint32_t count);
    void recordEvent(std::string text);
    CriticalSection& portLock() { return portLock_; }
    CriticalSection& traceLock() { return traceLock_; }
    // Signalled (and left signalled) when a stop is asked for or the mode changes, so
    // that a transfer waiting for bytes notices at once; the transfer resets it.
    HANDLE wakeEvent() const { return wake_.get(); }
    // Starts another thread of this connection's transfer as startTransfer starts its own.
    HANDLE startThread(LPTHREAD_START_ROUTINE proc, void* argument, DWORD* threadId) const
    {
        return startThread_(proc, argument, threadId);
    }
    // The system calls behind the precise waits of the low-latency mode.
    const PreciseTimerSystem& preciseTimerSystem() const { return *timerSystem_; }
    void setPreciseTimerSystem(const PreciseTimerSystem& system) { timerSystem_ = &system; }

private:
    int32_t clPortIndex_;
    int32_t clBaudCode_;
    std::string devicePath_;
    uint32_t baudRate_;
    int32_t parity_;
    uint32_t dataBits_;
    int32_t stopBits_;
    TransferTimings timings_;
    ThreadStarter startThread_;
    const PreciseTimerSystem* timerSystem_ = &systemPreciseTimer();

    // Declared in this order so that a connection destroyed after a failed connect
    // closes the COM port before the Camera Link port.
    ClSerialPort clPort_;
    ComPort comPort_;
    // A network connection's user side, in place of the COM port.
    std::unique_ptr<NetworkUserSide> network_;
    std::atomic<bool> run_{false};
    std::atomic<bool> connectionError_{false};
    std::atomic<bool> echo_{false};
    std::atomic<bool> lowLatency_{false};
    std::atomic<TraceSink*> traceList_{nullptr};
    std::atomic<TrafficRecorder*> recorder_{nullptr};
    // Held by the transfer thread for its whole run; the stop takes it before it
    // closes the ports, so they are never closed under a running transfer.
    CriticalSection portLock_;
    // Serialises trace lines (and the COM write failure line).
    CriticalSection traceLock_;
    UniqueHandle wake_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};

    UniqueHandle thread_;
    DWORD threadId_ = 0;
};

} // namespace clser
