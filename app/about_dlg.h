// The about dialog: name, version and legal notice from the program's version resource.
#pragma once

#include "win_dialog.h"

#include <string>

namespace clser::app {

class CAboutDlg : public DialogBase {
public:
    // filePath: the file whose version resource is shown; the program's own by default.
    explicit CAboutDlg(std::string filePath = {});

protected:
    BOOL onInitDialog() override;

private:
    std::string filePath_;
};

} // namespace clser::app
