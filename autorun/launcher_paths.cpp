#include "launcher_paths.h"

#include "dunmere_config.h"
#include "program_path.h"

namespace clser::autorun {

LauncherPaths launcherPathsFor(std::string_view launcherPath)
{
    LauncherPaths p;
    p.directory = directoryOf(launcherPath);
    p.bridgeProgram = p.directory + "\\ClserDunmere2.exe";
    p.configFile = config::configPathBeside(launcherPath);
    return p;
}

LauncherPaths launcherPathsOfThisProgram() { return launcherPathsFor(modulePath()); }

} // namespace clser::autorun
