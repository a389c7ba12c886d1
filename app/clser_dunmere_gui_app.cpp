#include "clser_dunmere_gui_app.h"

#include "dunmere_main_dlg.h"
#include "program_path.h"
#include "tarv_vcom_pair_library.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <optional>

namespace clser::app {

bool showPairLibraryFailure(discovery::PairLibrary& library)
{
    const std::optional<std::string> text = library.errorText();
    if (!text)
        return false;
    MessageBoxA(nullptr, text->c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
    return true;
}

int CClserDunmereGUIApp::initInstance(const std::vector<std::string>& arguments)
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);

    const int number = mutexes_.take();
    std::printf("%s\n", instanceMutexName(number).c_str());
    std::fflush(stdout);

    vcom::TarvVComPairLibrary pairLibrary;
    if (pairLibrary.init() == 0) {
        showPairLibraryFailure(pairLibrary);
        return 0;
    }

    // A relative record file lies beside the program, as the launcher takes it.
    CDunmereMainDlg dialog(profile::parseArguments(arguments, directoryOf(modulePath())));
    dialog.runModal(nullptr);
    return 0;
}

} // namespace clser::app
