// Where the launcher finds the bridge program and the configuration file: beside itself.
#pragma once

#include <string>
#include <string_view>

namespace clser::autorun {

struct LauncherPaths {
    std::string directory;    // the launcher's own path cut before its last backslash
    std::string bridgeProgram;
    std::string configFile;
};

LauncherPaths launcherPathsFor(std::string_view launcherPath);
LauncherPaths launcherPathsOfThisProgram();

} // namespace clser::autorun
