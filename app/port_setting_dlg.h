// The port settings dialog: the connection's pair, Camera Link port and line settings.
#pragma once

#include "camera_link_port_names.h"
#include "connection_settings.h"
#include "virtual_pair.h"
#include "port_setting_choices.h"
#include "win_dialog.h"

#include <string>
#include <vector>

namespace clser::app {

class CPortSettingDlg : public DialogBase {
public:
    // autorun: confirmed line settings and transfer mode are written back into the
    // configuration file.
    explicit CPortSettingDlg(bool autorun);

    void setClPorts(const std::vector<discovery::CameraLinkPort>& ports) { clPorts_ = ports; }
    void setPortEntries(const std::vector<VirtualPair>& entries) { portEntries_ = entries; }
    // The first eight fields and the transfer mode count; echo is carried through unchanged.
    void setSettings(const ConnectionSettings& settings) { settings_ = settings; }
    const ConnectionSettings& settings() const { return settings_; }
    bool showPhysicalPorts() const { return showPhysicalPorts_; }
    bool autorun() const { return autorun_; }

    // The configuration file written back to; the one beside the program by default.
    void setConfigPath(std::string path) { configPath_ = std::move(path); }

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int notifyCode, HWND control) override;

private:
    void fillComPortBox();
    void fillClPortBox();
    PortSettingSelection readSelection() const;
    void confirm();

    std::vector<discovery::CameraLinkPort> clPorts_;
    std::vector<VirtualPair> portEntries_;
    ConnectionSettings settings_;
    bool showPhysicalPorts_ = false;
    bool autorun_;
    std::string configPath_;
};

} // namespace clser::app
