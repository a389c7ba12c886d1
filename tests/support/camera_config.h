// The simulated camera's configuration for this test program.
#pragma once

#include <string>

namespace clser::test {

// Writes the configuration text to a scratch file and points CLSERBVK_SIM_CONFIG at it
// (the camera library reads it when it is first used in a process). Returns the path.
std::string useCameraConfig(const std::string& text);

} // namespace clser::test
