// The configuration file DunmereConfig.ini beside each program: one section per
// connection ("connection1", "connection2", ...), whose keys the profile reads and
// writes (connection_profile.h).
#pragma once

#include <string>
#include <string_view>

namespace clser::config {

inline constexpr char kFileName[] = "DunmereConfig.ini";

// The directory of a module path (the text before its last backslash; empty when it
// has none) followed by "\DunmereConfig.ini".
std::string configPathBeside(std::string_view modulePath);

// The same for the running program.
std::string configPathOfThisProgram();

} // namespace clser::config
