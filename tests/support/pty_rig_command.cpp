#include "pty_rig_command.h"

#include "pty_rig.h"

#include <windows.h>

#include <cstdlib>

namespace clser::test {

bool ptyRig(const std::string& subcommand, const std::string& name)
{
    const char* prefix = std::getenv("WINEPREFIX");
    const char* testbed = std::getenv("CLSER_TESTBED");
    if (!prefix || !testbed)
        return false;
    const std::string marker = std::string(prefix) + "/ptyrig/" + subcommand + "-" + name + ".done";
    DeleteFileA(testbed::windowsPathOf(marker).c_str());
    const std::string cmd = "'" + std::string(testbed) + "/pty-pair' " + subcommand + " '" + prefix + "' " + name +
                            " && touch '" + marker + "'";
    const bool ok = testbed::runLinuxCommand(cmd, marker, 10000);
    DeleteFileA(testbed::windowsPathOf(marker).c_str());
    return ok;
}

} // namespace clser::test
