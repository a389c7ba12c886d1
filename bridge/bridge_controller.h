// The life cycle of a bridge process's one connection: connect, disconnect,
// reconfigure, echo, and the watch that ends a connection whose COM writes fail.
// All of it runs on the user-interface thread.
#pragma once

#include "bridge_connection.h"
#include "bridge_ui.h"
#include "connection_settings.h"

#include <memory>
#include <optional>
#include <string>

namespace clser {

class BridgeController {
public:
    // startLine: the line settings given at start (none when none were); while they are
    // set, the first connect attempt shows no message boxes. timings: the waits of the
    // transfer thread of every connection this controller makes.
    BridgeController(BridgeUi& ui, std::optional<LineSettings> startLine, const TransferTimings& timings = {});
    ~BridgeController();

    // 1 when the bridge runs afterwards (also when it already ran), 0 otherwise.
    int connectBridge();
    void disconnectBridge();
    // Ends the record, if one is written, with its last line and waits until it is on
    // disk: the program is about to end. Call after disconnectBridge().
    void endRecord();
    // Takes the settings the port settings dialog confirmed; asks to reconnect when a
    // running connection's settings (other than echo and low latency) changed; a low
    // latency change reaches the running connection at once.
    void reconfigure(const ConnectionSettings& confirmed);
    void toggleEcho();
    // The watch, run on every timer message of the main dialog.
    void onStatusTimer();

    ConnectionSettings& settings() { return settings_; }
    const ConnectionSettings& settings() const { return settings_; }
    const std::optional<LineSettings>& startLine() const { return startLine_; }
    bool connected() const { return connected_; }
    bool firstAttempt() const { return firstAttempt_; }
    bool hasConnection() const { return connection_ != nullptr; }
    // The running connection, null when there is none.
    BridgeConnection* connection() { return connection_.get(); }
    const TransferTimings& timings() const { return timings_; }
    // A network connection's client as "a.b.c.d:port"; empty when none is served or the
    // connection uses the virtual pair. The watch refreshes the status when it changes.
    std::string networkClient() const;
    // Where connections start their transfer thread (tests put a failing one here).
    void setThreadStarter(ThreadStarter startThread) { startThread_ = startThread; }
    // The traffic record that connections write to; made at the first connect that
    // asks for one (settings().record). Tests put one with a sink of their own here.
    void useTrafficRecorder(std::unique_ptr<TrafficRecorder> recorder) { recorder_ = std::move(recorder); }
    TrafficRecorder* trafficRecorder() { return recorder_.get(); }
    // The system calls behind the low-latency mode's precise waits (tests count them).
    void setPreciseTimerSystem(const PreciseTimerSystem& system) { timerSystem_ = &system; }

private:
    // Opens the record the settings ask for, once; a file that cannot be opened costs
    // one trace line and the connection runs without a record.
    void openRecorder();
    void recordEvent(std::string text);

    BridgeUi& ui_;
    ConnectionSettings settings_;
    std::optional<LineSettings> startLine_;
    TransferTimings timings_;
    ThreadStarter startThread_ = nullptr;
    const PreciseTimerSystem* timerSystem_ = nullptr;
    bool connected_ = false;
    bool firstAttempt_ = true;
    // Declared before the connection, which writes to it, so that it outlives it.
    std::unique_ptr<TrafficRecorder> recorder_;
    std::unique_ptr<BridgeConnection> connection_;
    // The network client the status showed when the watch last looked.
    std::string shownClient_;
};

// True when a running connection must be restarted to take the new settings.
bool settingsNeedReconnect(const ConnectionSettings& before, const ConnectionSettings& after);

} // namespace clser
