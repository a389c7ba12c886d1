// Child programs of a test: started with their standard handles and environment chosen,
// or run to their end with their output collected.
#pragma once

#include "unique_handle.h"

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace clser::test {

// Every member has a default, so that a start names only what it needs: {program, arguments}.
struct ProgramStart {
    std::string program{};   // full path; the command line quotes it
    std::string arguments{}; // the rest of the command line, as it is
    std::string directory{}; // working directory; empty: this program's
    // Changes to this program's environment for the child: a name with a value is set to
    // it, one without is left out. Names are matched without regard to letter case.
    std::map<std::string, std::optional<std::string>> environment{};
    DWORD creationFlags = 0;
    // Standard output; null: the standard handles are not set and none is inherited.
    HANDLE output = nullptr;
    // Standard error; null: the same as the output.
    HANDLE errors = nullptr;
    // runProgram: a start that fails is tried again every 250 ms, this many times in all
    // (a loaded machine may refuse one for a moment).
    int attempts = 1;
    // runProgram: learns the process id as soon as the program runs.
    std::function<void(DWORD processId)> started{};
};

// The words as a command line, each quoted when it is empty or holds a blank.
std::string commandArguments(const std::vector<std::string>& words);

// The started process, or an empty handle when it could not start; processId, when
// given, learns its id.
UniqueHandle startProgram(const ProgramStart& start, DWORD* processId = nullptr);

struct ProgramRun {
    bool started = false;
    bool ended = false; // within the time given
    DWORD exitCode = 0;
    std::string output; // what it wrote to start.output (a file of this test program)

    // The exit code; -1 when the program did not start or did not end in time.
    int status() const { return ended ? static_cast<int>(exitCode) : -1; }
    // The output, one entry per line.
    std::vector<std::string> lines() const;
};

// Runs the program and waits up to timeoutMs; one that has not ended by then is ended
// when endOnTimeout. Its standard output, and its standard error unless start.errors
// names another handle, is collected (start.output is ignored).
ProgramRun runProgram(ProgramStart start, DWORD timeoutMs, bool endOnTimeout = false);

} // namespace clser::test
