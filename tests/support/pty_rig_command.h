// The pseudo-terminal rig's commands on a pair of the running session.
#pragma once

#include <string>

namespace clser::test {

// Runs testbed/pty-pair with the given subcommand and name (stall, resume, fill) and
// waits for it; false when it failed or did not finish within 10 s.
bool ptyRig(const std::string& subcommand, const std::string& name);

} // namespace clser::test
