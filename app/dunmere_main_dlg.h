// The bridge program's main window: the connection's owner, with its menus, trace list,
// status bar and tray icon. Mostly hidden in the tray; only Exit, a logoff and a
// shutdown end it.
#pragma once

#include "bridge_controller.h"
#include "bridge_ui.h"
#include "connection_profile.h"
#include "discovery_ui.h"
#include "port_discovery.h"
#include "port_setting_dlg.h"
#include "status_texts.h"
#include "system_tray.h"
#include "tarv_vcom_pair_library.h"
#include "trace_list_sink.h"
#include "virtual_com_port_dlg.h"
#include "win_dialog.h"

#include <optional>
#include <string>
#include <vector>

namespace clser::app {

class CDunmereMainDlg : public DialogBase, public BridgeUi, public discovery::DiscoveryUi {
public:
    // The command line's profile (an empty port name and index -1 when it named none);
    // the trace list shows its problems (a network or record word that was not taken).
    explicit CDunmereMainDlg(const profile::ArgumentsParse& start);
    ~CDunmereMainDlg() override;

    // BridgeUi
    int showMessage(const std::string& text, const std::string& caption, unsigned type) override;
    void updateStatus() override;
    void setConnectMenus(bool connected) override;
    void setTrayConnected(bool connected) override;
    void handSettingsToPortDialog(const ConnectionSettings& settings) override;
    void startStatusTimer() override;
    void stopStatusTimer() override;
    TraceSink* traceList() override { return &traceSink_; }

    // DiscoveryUi
    void showLibraryError(const std::string& text) override;

    BridgeController& controller() { return controller_; }
    const ConnectionSettings& settings() const { return controller_.settings(); }
    CSystemTray& tray() { return tray_; }
    CPortSettingDlg& portSettingDlg() { return portSettingDlg_; }
    const discovery::PortDiscovery& ports() const { return ports_; }
    HWND statusBar() const { return statusBar_; }
    // Where other makers' serial libraries are looked for, before the dialog starts: the
    // Camera Link library folder of the registry by default; none: this system's alone.
    void setClLibraryFolder(std::optional<std::string> folder) { clLibraryFolder_ = std::move(folder); }

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int notifyCode, HWND control) override;
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void onDestroy() override;

private:
    bool createStatusBar();
    // The status bar's panes, as wide as the window's scale needs.
    void setStatusParts();
    void layoutControls();
    void initialSelection();
    void portSettingsCommand();
    void virtualPortCommand();
    void echoCommand();
    void exitCommand();
    // Disconnects, writes the record's end and ends the dialog: at Exit and at logoff.
    void endProgram();
    void clearEcho();
    void showAbout();
    void paintMinimised();

    TraceListSink traceSink_;
    vcom::TarvVComPairLibrary pairLibrary_;
    CSystemTray tray_;
    HICON icon_;
    discovery::PortDiscovery ports_;
    HWND statusBar_ = nullptr;
    CPortSettingDlg portSettingDlg_;
    CVirtualCOMPortDlg virtualPortDlg_;
    BridgeController controller_;
    std::string startPortName_;
    std::vector<std::string> startProblems_;
    std::optional<std::string> clLibraryFolder_;
    UINT_PTR statusTimer_ = 0;
};

} // namespace clser::app
