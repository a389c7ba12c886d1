// Test rig: linked pseudo-terminal pairs on the Linux side that programs under Wine
// open as serial devices (\\.\NAME), and DOS device names in the object namespace so
// that QueryDosDeviceA lists them. Works only under Wine, with WINEPREFIX and
// CLSER_TESTBED (the testbed folder's Linux path) in the environment.
#pragma once

#include <string>

namespace clser::testbed {

// Runs a Linux program from inside Wine and waits (up to timeoutMs) until doneFile
// (a Linux path) exists. Returns false when it could not be started or timed out.
bool runLinuxCommand(const std::string& commandLine, const std::string& doneFile, unsigned timeoutMs);

// The Windows path (Z:\...) of a Linux path.
std::string windowsPathOf(const std::string& linuxPath);

// Adds NAME to, or removes it from, the DOS device names of the object namespace.
// Names stay until removed or until the wineserver ends.
bool registerDosDeviceName(const std::string& name);
bool unregisterDosDeviceName(const std::string& name);

// Creates the linked pair NAME_A <-> NAME_B: both ends openable and listed.
bool createPtyPair(const std::string& nameA, const std::string& nameB, std::string* error = nullptr);
// Stops the pair's processes and removes both names.
void destroyPtyPair(const std::string& nameA, const std::string& nameB);

// Runs "pty-pair SUBCOMMAND PREFIX NAME" (stall, resume, fill) and waits until it is done:
// after stall NAME no further byte reaches end NAME until resume NAME; the other direction
// flows on. False when it failed or took longer than 15 s.
bool runPtyPairCommand(const std::string& subcommand, const std::string& name);

// The pair for the life of a scope.
class ScopedPtyPair {
public:
    ScopedPtyPair(std::string nameA, std::string nameB);
    ~ScopedPtyPair();
    ScopedPtyPair(const ScopedPtyPair&) = delete;
    ScopedPtyPair& operator=(const ScopedPtyPair&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

private:
    std::string nameA_;
    std::string nameB_;
    std::string error_;
    bool ok_;
};

} // namespace clser::testbed
