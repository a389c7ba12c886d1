// The small window that says an installation is running.
#pragma once

#include "win_dialog.h"

namespace clser::app {

class CMessageDlg : public DialogBase {
public:
    CMessageDlg();

protected:
    BOOL onInitDialog() override;
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void onDestroy() override;

private:
    UINT_PTR timer_ = 0;
};

} // namespace clser::app
