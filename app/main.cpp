// ClserDunmere2: joins a virtual COM port pair to a Camera Link serial port and lives in
// the notification area.
#include "clser_dunmere_gui_app.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The arguments as the C runtime splits the command line.
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i)
        arguments.emplace_back(__argv[i]);
    static clser::app::CClserDunmereGUIApp app;
    return app.initInstance(arguments);
}
