// Test surroundings for the pair library under Wine: a com0com root with the setupc
// emulator, the emulator's configuration and pair table, the simulated camera's port
// count, the device names of the prefix, and child programs with captured output.
#pragma once

#include "pair_table.h"

#include <functional>
#include <string>
#include <vector>

namespace vcomtest {

// Scratch directory of these tests (<CLSER_RUN_DIR>/vcom), as a Windows path.
std::string runDirectory();
// Directory of the running test program (the build's bin).
std::string programDirectory();
// "x64" or "i386": the com0com folder the library picks on this machine.
std::string architectureFolder();

void setEnv(const char* name, const std::string& value);
void unsetEnv(const char* name);
std::string envValue(const char* name);

void writeFile(const std::string& path, const std::string& text);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
void makeDirectories(const std::string& path);

// <runDirectory>\<name> holding com0com\<arch>\setupc.exe (the emulator); returns the root.
std::string makeCom0comRoot(const std::string& name);

// Writes the emulator's configuration and points CLSER_SETUPC_CONFIG at it.
void configureEmulator(const std::string& text);
// Writes the simulated camera's configuration with that many ports and points
// CLSERBVK_SIM_CONFIG at it.
void configureCameraPorts(int ports);

// The emulator's pair table as it stands.
std::vector<clser::setupc::EmulatedPair> emulatedPairs();
// Runs the emulator's remove for every pair it has; the rig's ends go with them.
void removeAllEmulatedPairs();
// Runs the emulator with these arguments and waits; its exit code.
int runEmulator(const std::string& arguments);

// Runs a program, waits up to timeoutMs, and returns its exit code (-1 when it could
// not start or did not end); its standard output goes to *output.
int runProgram(const std::string& exe, const std::string& arguments, std::string* output,
               unsigned timeoutMs = 120000);

bool waitUntil(const std::function<bool()>& condition, unsigned timeoutMs);

std::vector<std::string> dosDeviceNames();
bool deviceListed(const std::string& name);
bool endOpenable(const std::string& name);
// The highest number of a COM<n> or TARVCOM<n> device name of the prefix, 0 when none.
int highestPortNumberInUse();
// A number whose COM and TARVCOM names are both absent, from `from` upwards.
int freePortNumber(int from);

// The library's last-error text (TarvVComGetErrorDescription).
std::string lastError();

} // namespace vcomtest
