// The setupc emulator of the build's bin: a com0com root that holds it, its table of
// pairs (made of linked pseudo-terminals), and port numbers that no pair or device uses.
#pragma once

#include "pair_table.h"

#include <string>
#include <vector>

namespace clser::test {

// "x64" or "i386": the com0com folder the pair library picks on this machine.
std::string architectureFolder();
// <root>\com0com\<arch>\setupc.exe (the emulator); returns the root.
std::string makeCom0comRoot(const std::string& root);

// Runs the emulator with these arguments and waits; its exit code, -1 when it could not
// start or did not end.
int runEmulator(const std::string& arguments);

// The emulator's pair table as it stands.
std::vector<setupc::EmulatedPair> emulatedPairs();
bool installEmulatedPair(int number);
// Removes the emulator's pair whose ends are COM<number>/TARVCOM<number>.
void removeEmulatedPair(int number);
// Runs the emulator's remove for every pair it has; the rig's ends go with them.
void removeAllEmulatedPairs();
// com0com's number of the emulator's pair COM<number>/TARVCOM<number>; -1 when none.
int emulatedPairNumber(int number);
bool emulatedPairInstalled(int number);

// A port number whose COM and TARVCOM names are both unused and that no emulated pair
// has, from `from` upwards.
int freePortNumber(int from);

} // namespace clser::test
