// Child programs of a test: started with their standard handles and environment chosen,
// or run to their end with their output collected.
#pragma once

#include "unique_handle.h"

#include <windows.h>

#include <string>

namespace clser::test {

struct ProgramStart {
    std::string program;   // full path; the command line quotes it
    std::string arguments; // the rest of the command line, as it is
    std::string directory; // working directory; empty: this program's
    // Environment block (NAME=value strings, each ending in NUL, then a NUL); empty:
    // this program's environment.
    std::string environment;
    DWORD creationFlags = 0;
    // Standard output; null: the standard handles are not set and none is inherited.
    HANDLE output = nullptr;
    // Standard error; null: the same as the output.
    HANDLE errors = nullptr;
};

// The started process, or an empty handle when it could not start; processId, when
// given, learns its id.
UniqueHandle startProgram(const ProgramStart& start, DWORD* processId = nullptr);

struct ProgramRun {
    bool started = false;
    bool ended = false; // within the time given
    DWORD exitCode = 0;
    std::string output; // what it wrote to start.output (a file of this test program)
};

// Runs the program and waits up to timeoutMs; one that has not ended by then is ended
// when endOnTimeout. Its standard output, and its standard error unless start.errors
// names another handle, is collected (start.output is ignored).
ProgramRun runProgram(ProgramStart start, DWORD timeoutMs, bool endOnTimeout = false);

} // namespace clser::test
