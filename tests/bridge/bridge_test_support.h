// Helpers for the bridge tests that run against real pseudo-terminal pairs and the
// simulated camera.
#pragma once

#include "unique_handle.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace clser::test {

// The user's end of a pair, opened the way a terminal program opens it.
class UserPort {
public:
    bool open(const std::string& name);
    bool write(const std::string& bytes);
    // Reads until want bytes arrived or timeoutMs passed without them.
    std::string read(size_t want, DWORD timeoutMs);
    void close() { handle_.reset(); }

private:
    UniqueFile handle_;
};

// Points the simulated camera at a configuration text (before its first use in this
// process). Returns the configuration file's path.
std::string useCameraConfig(const std::string& text);

// Runs testbed/pty-pair with the given subcommand and names (stall, resume, fill).
bool ptyRig(const std::string& subcommand, const std::string& name);

// A file's whole content ("" when it does not exist).
std::string fileContent(const std::string& path);

// Polls the condition until it holds (true) or the limit passes (false).
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// A scratch path for this test program (in the Windows temporary directory).
std::string scratchPath(const std::string& fileName);

} // namespace clser::test
