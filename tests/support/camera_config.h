// The simulated camera's configuration for this test program, and the SDK's variables.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace clser::test {

// Writes the configuration text to a scratch file and points CLSERBVK_SIM_CONFIG (or the
// variable of another maker's stand-in) at it; the camera library reads it when it is
// first used in a process. Returns the path.
std::string useCameraConfig(const std::string& text, const char* variable = "CLSERBVK_SIM_CONFIG");

// Environment changes for a child program (see ProgramStart) that leave out what steers
// the SDK and its stand-ins here: TARVDIR5_32, TARVDIR5 and CLSER_SDK_CONFIG.
std::map<std::string, std::optional<std::string>> withoutSdkVariables();

} // namespace clser::test
