// Starting com0com's client setupc through the shell and waiting for it.
#pragma once

#include <string>

namespace clser::vcom {

// "open" for a process that already has administrator rights, else "runas" (the shell
// asks for elevation before setupc starts).
const char* setupcVerb(bool runningAsAdmin);

enum class SetupcRun {
    Finished,      // waited for and ended, or started without waiting
    NoProcess,     // the shell started it but gave back no process to wait for
    StartFailed,   // the shell refused or could not start it (lastError tells why)
    WaitFailed,    // it did not end in time, or the wait failed
};

struct SetupcRunResult {
    SetupcRun outcome;
    unsigned long lastError; // GetLastError right after a failed start
};

// Runs setupc hidden in its own directory. waitMs 0 starts it and returns at once.
SetupcRunResult runSetupc(const std::string& setupcPath, const std::string& directory, const char* verb,
                          const std::string& parameters, unsigned long waitMs);

} // namespace clser::vcom
