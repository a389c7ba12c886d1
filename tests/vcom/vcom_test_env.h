// Test surroundings for the pair library under Wine, beside the shared test support: the
// scratch area of these tests, the emulator's configuration, the simulated camera's port
// count, the ends of the prefix, child programs with captured output, and the library's
// last-error text.
#pragma once

#include "device_names.h"
#include "scratch_files.h"
#include "setupc_emulator.h"
#include "wait_until.h"

#include <string>

namespace clser::test {

using namespace std::chrono_literals;

// Scratch directory of these tests (<CLSER_RUN_DIR>/vcom), as a Windows path.
inline std::string runDirectory() { return clser::test::runDirectory("vcom"); }

void setEnv(const char* name, const std::string& value);
void unsetEnv(const char* name);
std::string envValue(const char* name);

// Writes the emulator's configuration and points CLSER_SETUPC_CONFIG at it.
void configureEmulator(const std::string& text);
// Points the simulated camera at a configuration with that many ports.
void configureCameraPorts(int ports);

// Runs a program, waits up to timeoutMs, and returns its exit code (-1 when it could
// not start or did not end); its standard output goes to *output, its standard error to
// this program's.
int runCapturingOutput(const std::string& exe, const std::string& arguments, std::string* output,
                       unsigned timeoutMs = 120000);

bool endOpenable(const std::string& name);
// The highest number of a COM<n> or TARVCOM<n> device name of the prefix, 0 when none.
int highestPortNumberInUse();

// The library's last-error text (TarvVComGetErrorDescription).
std::string lastError();

} // namespace clser::test
