// The virtual COM port dialog: installs a pair with a chosen number and removes one.
#pragma once

#include "message_dlg.h"
#include "virtual_pair.h"
#include "tarv_vcom_pair_library.h"
#include "win_dialog.h"

#include <memory>
#include <string>
#include <vector>

namespace clser::app {

class CVirtualCOMPortDlg : public DialogBase {
public:
    CVirtualCOMPortDlg();

    // Pairs go to the pair list, every other entry's name to the physical port names.
    void setPortEntries(const std::vector<VirtualPair>& entries);

    const std::vector<VirtualPair>& pairList() const { return pairList_; }
    const std::vector<std::string>& physicalPortNames() const { return physicalPortNames_; }

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int notifyCode, HWND control) override;

private:
    void reloadPortBox();
    void install();
    void remove();
    void showLibraryError();

    vcom::TarvVComPairLibrary pairLibrary_;
    std::vector<VirtualPair> pairList_;
    std::vector<std::string> physicalPortNames_;
    std::unique_ptr<CMessageDlg> progress_;
};

} // namespace clser::app
