// The simulated camera's configuration for every test of a program.
#pragma once

#include <string>

namespace clser::test {

// Registers a GoogleTest environment that, before the first test, writes the text the
// function gives and points the simulated camera at it (see useCameraConfig). For a
// namespace-scope initialiser: `const bool registered = useCameraConfigForAllTests(f);`
bool useCameraConfigForAllTests(std::string (*config)(), const char* variable = "CLSERBVK_SIM_CONFIG");

} // namespace clser::test
