// What the bridge's connection operations need from the main dialog. The dialog
// implements it; tests use a recording implementation.
#pragma once

#include "connection_settings.h"
#include "trace_sink.h"

#include <string>

namespace clser {

class BridgeUi {
public:
    virtual ~BridgeUi() = default;
    // A message box owned by the dialog. An empty caption means the application's
    // title. type takes the MB_* flags; the result is the button chosen (IDOK, IDYES...).
    virtual int showMessage(const std::string& text, const std::string& caption, unsigned type) = 0;
    // Refreshes the status bar panes and the tray tooltip.
    virtual void updateStatus() = 0;
    // Menu bar: Connect enabled and Disconnect disabled when not connected, and the
    // other way round when connected.
    virtual void setConnectMenus(bool connected) = 0;
    // Tells the tray whether the bridge is connected and shows the matching icon.
    virtual void setTrayConnected(bool connected) = 0;
    // Hands the current settings to the port settings dialog.
    virtual void handSettingsToPortDialog(const ConnectionSettings& settings) = 0;
    // The one-second connection watch timer.
    virtual void startStatusTimer() = 0;
    virtual void stopStatusTimer() = 0;
    // The trace list that the transfer thread writes into.
    virtual TraceSink* traceList() = 0;
};

} // namespace clser
