#include "clser_dunmere_gui_app.h"

#include "TarvVirtualComPort.h"
#include "dunmere_main_dlg.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace clser::app {

bool showPairLibraryFailure()
{
    const int length = TarvVComGetErrorDescription(nullptr);
    if (length <= 0)
        return false;
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    TarvVComGetErrorDescription(text.data());
    text.back() = '\0';
    MessageBoxA(nullptr, text.data(), nullptr, MB_OK | MB_ICONEXCLAMATION);
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

    if (TarvVComInit() == 0) {
        showPairLibraryFailure();
        return 0;
    }

    const StartValues start = startValuesOf(parseCommandLine(arguments));
    CDunmereMainDlg dialog(start.comPortName, start.clPortIndex, start.lineSettings, start.autorun,
                           start.lowLatency);
    dialog.runModal(nullptr);
    return 0;
}

} // namespace clser::app
