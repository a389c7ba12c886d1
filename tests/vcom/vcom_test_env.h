// Test surroundings for the pair library under Wine, beside the shared test support: the
// scratch area of these tests, the emulator's configuration, the simulated camera's port
// count, the ends of the prefix, the library's probe program, and the library's last-error
// text.
#pragma once

#include "child_process.h"
#include "device_names.h"
#include "scratch_files.h"
#include "setupc_emulator.h"
#include "wait_until.h"

#include <string>

namespace clser::test {

using namespace std::chrono_literals;

void setEnv(const char* name, const std::string& value);
void unsetEnv(const char* name);
std::string envValue(const char* name);

// Writes the emulator's configuration and points CLSER_SETUPC_CONFIG at it.
void configureEmulator(const std::string& text);
// Points the simulated camera at a configuration with that many ports.
void configureCameraPorts(int ports);

// The library's probe program in a directory, making these calls; its standard error goes
// to this program's.
ProgramStart vcomProbe(const std::string& calls, const std::string& directory = programDirectory());

bool endOpenable(const std::string& name);
// The highest number of a COM<n> or TARVCOM<n> device name of the prefix, 0 when none.
int highestPortNumberInUse();

// The library's last-error text (TarvVComGetErrorDescription).
std::string lastError();

} // namespace clser::test
