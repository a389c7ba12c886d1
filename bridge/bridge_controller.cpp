#include "bridge_controller.h"

#include "record_file.h"
#include "transfer_steps.h"

#include <windows.h>

#include <cstdio>

namespace clser {
namespace {

const char kPortConfiguration[] = "Port Configuration";

} // namespace

bool settingsNeedReconnect(const ConnectionSettings& a, const ConnectionSettings& b)
{
    return a.clBaudCode != b.clBaudCode || a.clPortIndex != b.clPortIndex || a.clLibrary != b.clLibrary ||
           a.line != b.line ||
           a.userPortName != b.userPortName || a.bridgePortName != b.bridgePortName;
}

BridgeController::BridgeController(BridgeUi& ui, std::optional<LineSettings> startLine, const TransferTimings& timings)
    : ui_(ui), startLine_(startLine), timings_(timings)
{
}

BridgeController::~BridgeController()
{
    // The transfer thread must not outlive the objects it reports to.
    if (connection_)
        connection_->stopTransfer();
}

int BridgeController::connectBridge()
{
    const bool showMessages = !(startLine_ && firstAttempt_);
    auto message = [&](const std::string& text, const char* caption, unsigned type) {
        if (showMessages)
            ui_.showMessage(text, caption, type);
    };

    if (settings_.bridgePortName.size() < 2 || settings_.clPortIndex < 0) {
        message("Port not configured, cannot create connection.", kPortConfiguration, MB_ICONEXCLAMATION);
        firstAttempt_ = false;
        return 0;
    }
    if (connected_ || connection_)
        return 1;

    // The connection takes the echo and transfer mode from the settings; its ports
    // close with it on every failure below.
    connection_ = std::make_unique<BridgeConnection>("\\\\.\\" + settings_.bridgePortName, settings_, timings_,
                                                     startThread_);
    if (timerSystem_)
        connection_->setPreciseTimerSystem(*timerSystem_);
    BridgeConnection& c = *connection_;
    openRecorder();
    c.setRecorder(recorder_.get(), "Connected: " + connectionRecordText(settings_));

    int status = c.openClPort();
    std::string failure;
    if (status < 0) {
        // Why the library or the rate cannot be had is said in a line of its own, also in
        // the quiet first attempt: nothing else would tell the user of a bridge started
        // hidden.
        failure = c.clPortProblem();
        if (!failure.empty()) {
            if (TraceSink* trace = ui_.traceList())
                trace->addLine(failure);
        } else {
            const std::string own = c.clPortErrorText(status);
            failure = withStatus("Connecting to CamaraLink port failed\nError code: %d", status) +
                      (own.empty() ? "" : " (" + own + ")");
        }
    } else if ((status = c.openComPort()) < 0) {
        failure = withStatus(c.servesNetwork() ? "Cannot listen on the network port\nError code: %d"
                                               : "Cannot open the serial port\nError code: %d",
                             status);
    } else if ((status = c.startTransfer(ui_.traceList())) != 0) {
        failure = withStatus("Cannot start the transfer between the ports\nError code: %d", status);
    }
    if (!failure.empty()) {
        recordEvent(failure);
        message(failure, "", MB_OK);
        connection_.reset();
        firstAttempt_ = false;
        return 0;
    }

    firstAttempt_ = false;
    connected_ = true;
    if (recorder_)
        recorder_->setConnectionLine(connectionRecordText(settings_));
    ui_.updateStatus();
    ui_.handSettingsToPortDialog(settings_);
    ui_.setConnectMenus(true);
    ui_.setTrayConnected(true);
    ui_.startStatusTimer();
    return 1;
}

void BridgeController::disconnectBridge()
{
    if (!connected_ || !connection_)
        return;
    ui_.setTrayConnected(false);
    connected_ = false;
    connection_->stopTransfer();
    connection_.reset();
    recordEvent("Disconnected");
    ui_.stopStatusTimer();
    ui_.updateStatus();
    ui_.setConnectMenus(false);
}

void BridgeController::endRecord()
{
    // A connection writes to the recorder until it is gone.
    if (!connection_)
        recorder_.reset();
}

void BridgeController::reconfigure(const ConnectionSettings& confirmed)
{
    const ConnectionSettings old = settings_;
    settings_ = confirmed;
    // The transfer mode changes on the running connection, without a reconnect.
    if (connection_)
        connection_->setLowLatency(settings_.lowLatency);
    if (connected_ && old.lowLatency != settings_.lowLatency)
        recordEvent(settings_.lowLatency ? "Low-latency mode on" : "Low-latency mode off");
    if (connected_ && settingsNeedReconnect(old, settings_)) {
        const int answer = ui_.showMessage(
            "You changed the settings, do you want to reconnect now to perform the change?\n"
            "Attention: Reconnection may lead to data lost, please ensure that there is no data transmission "
            "performing.",
            kPortConfiguration, MB_YESNO | MB_ICONEXCLAMATION);
        if (answer == IDYES) {
            disconnectBridge();
            connectBridge();
        } else {
            ui_.showMessage("The parameter was set but still not performed, please reconnect later to perform it.",
                            kPortConfiguration, MB_ICONEXCLAMATION);
        }
    }
    ui_.updateStatus();
}

void BridgeController::toggleEcho()
{
    settings_.echo = !settings_.echo;
    if (connection_)
        connection_->setEcho(settings_.echo);
}

void BridgeController::onStatusTimer()
{
    if (connected_ && connection_ && connection_->connectionError()) {
        recordEvent("Connection error!");
        disconnectBridge();
        ui_.showMessage("Connection error!", "", MB_ICONEXCLAMATION);
        return;
    }
    // A network client came or went: the status names the one served.
    const std::string client = networkClient();
    if (client != shownClient_) {
        shownClient_ = client;
        ui_.updateStatus();
    }
}

void BridgeController::openRecorder()
{
    // A record that could not be opened or written is tried anew at the next connect.
    if (recorder_ && recorder_->stopped())
        recorder_.reset();
    if (recorder_ || !settings_.record)
        return;
    const TrafficRecordSettings& r = *settings_.record;
    // The writer thread reports through the trace list itself, never through the dialog.
    TraceSink* const trace = ui_.traceList();
    auto report = [trace](std::string line) {
        if (trace)
            trace->addLine(std::move(line));
    };
    const std::string version = (r.programVersion.empty() ? std::string("ClserDunmere2") : r.programVersion) +
                                ", traffic record";
    // The writer opens the file: a share that does not answer never holds the window.
    const std::string path = r.path;
    recorder_ = std::make_unique<TrafficRecorder>(
        path, [path](std::unique_ptr<RecordSink>& sink) { return RecordFile::open(path, sink); }, r.limitBytes(),
        version, connectionRecordText(settings_), report);
    if (!recorder_->started()) {
        report("Cannot record to \"" + r.path + "\": " + windowsErrorText(GetLastError()) +
               "; the connection runs without a record");
        recorder_.reset();
    }
}

void BridgeController::recordEvent(std::string text)
{
    if (recorder_)
        recorder_->recordEvent(std::move(text));
}

std::string BridgeController::networkClient() const
{
    return connection_ ? connection_->networkClient() : std::string();
}

} // namespace clser
