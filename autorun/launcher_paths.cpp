#include "launcher_paths.h"

#include "dunmere_config.h"

#include <windows.h>

namespace clser::autorun {

LauncherPaths launcherPathsFor(std::string_view launcherPath)
{
    const auto slash = launcherPath.rfind('\\');
    LauncherPaths p;
    p.directory = slash == std::string_view::npos ? std::string() : std::string(launcherPath.substr(0, slash));
    p.bridgeProgram = p.directory + "\\ClserDunmere2.exe";
    p.configFile = p.directory + "\\" + config::kFileName;
    return p;
}

LauncherPaths launcherPathsOfThisProgram()
{
    char path[1024] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return launcherPathsFor(n > 0 && n < sizeof path ? std::string_view(path, n) : std::string_view());
}

} // namespace clser::autorun
