#include "bridge_controller.h"

#include "transfer_state.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace clser {
namespace {

const char kPortConfiguration[] = "Port Configuration";

std::string withStatus(const char* format, int status)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, format, status);
    return buf;
}

} // namespace

bool settingsNeedReconnect(const ConnectionSettings& a, const ConnectionSettings& b)
{
    return a.clBaudCode != b.clBaudCode || a.clPortIndex != b.clPortIndex || a.baudRate != b.baudRate ||
           a.dataBits != b.dataBits || a.userPortName != b.userPortName ||
           a.bridgePortName != b.bridgePortName || a.parity != b.parity || a.stopBits != b.stopBits;
}

BridgeController::BridgeController(BridgeUi& ui, std::string lineSettings)
    : ui_(ui), lineSettings_(std::move(lineSettings))
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
    const bool showMessages = !(!lineSettings_.empty() && firstAttempt_);
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

    connection_ = std::make_unique<BridgeConnection>("\\\\.\\" + settings_.bridgePortName, settings_);
    TransferState& s = transferState();
    s.echo = settings_.echo;
    s.lowLatency = settings_.lowLatency;

    bool ok = false;
    int status = connection_->openClPort();
    if (status < 0) {
        message(withStatus("Connecting to CamaraLink port failed\nError code: %d", status), "", MB_OK);
        if (s.clPort.holdsReference())
            s.clPort.close();
    } else if ((status = connection_->openComPort()) < 0) {
        message(withStatus("Cannot open the serial port\nError code: %d", status), "", MB_OK);
        s.clPort.close();
    } else {
        // Throw away bytes that were already queued in the pair.
        std::vector<uint8_t> stale(4096);
        uint32_t got = 0;
        status = s.comPort.read(stale.data(), static_cast<uint32_t>(stale.size()), got, 100);
        if (status < 0) {
            message(withStatus("Cannot open the serial port\nError code: %d", status), "", MB_OK);
            s.comPort.close();
            s.clPort.close();
        } else {
            ok = true;
        }
    }

    if (!ok) {
        connection_.reset();
        firstAttempt_ = false;
        return 0;
    }

    firstAttempt_ = false;
    connected_ = true;
    ui_.updateStatus();
    ui_.handSettingsToPortDialog(settings_);
    ui_.setConnectMenus(true);
    ui_.setTrayConnected(true);
    connection_->startTransfer(ui_.traceList());
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
    ui_.stopStatusTimer();
    ui_.updateStatus();
    ui_.setConnectMenus(false);
}

void BridgeController::reconfigure(const ConnectionSettings& confirmed)
{
    const ConnectionSettings old = settings_;
    settings_ = confirmed;
    // The transfer mode changes on the running connection, without a reconnect.
    transferState().lowLatency = settings_.lowLatency;
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
    transferState().echo = settings_.echo;
}

void BridgeController::onStatusTimer()
{
    if (transferState().connectionError && connected_) {
        disconnectBridge();
        ui_.showMessage("Connection error!", "", MB_ICONEXCLAMATION);
    }
}

} // namespace clser
