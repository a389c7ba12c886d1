// Helpers for tests that lay out programs and libraries in directories of their own
// and run them as child processes with the SDK's variables cleared.
#pragma once

#include "device_names.h"
#include "scratch_files.h"

#include <map>
#include <string>
#include <vector>

namespace clser::discovery::testing {

using test::deviceListed;
using test::dosDeviceNames;
using test::programDirectory;

// A directory tree below C:\clser-discovery-tests, removed with everything in it when
// the object goes.
class ScratchTree {
public:
    explicit ScratchTree(const std::string& name);
    ~ScratchTree();
    ScratchTree(const ScratchTree&) = delete;
    ScratchTree& operator=(const ScratchTree&) = delete;

    const std::string& root() const { return root_; }
    // root\relative; the directories on the way are created.
    std::string path(const std::string& relative) const;
    // Copies a file into the tree (its directory is created); false on failure.
    bool copyInto(const std::string& source, const std::string& relativeTarget) const;
    bool writeFile(const std::string& relative, const std::string& text) const;

private:
    std::string root_;
};

struct ProgramRun {
    bool started = false;
    unsigned long exitCode = 0;
    std::vector<std::string> lines; // standard output, one entry per line
};

// Runs a program with arguments and the test's environment, less the variables that
// steer the SDK and the stand-ins (TARVDIR5_32, TARVDIR5, CLSER_SDK_CONFIG), plus the
// given ones; waits up to 30 s and returns its standard output.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment = {});

// Replaces every "{KEY}" in text with its value.
std::string expand(std::string text, const std::map<std::string, std::string>& values);

} // namespace clser::discovery::testing
