// The Camera Link serial ports of other makers' libraries in the Camera Link library
// folder, as the port lists show them and the launcher counts them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace clser {

// A port of another maker's library.
struct OtherMakerPort {
    std::string library;  // the file's name in the folder ("clserlrk.dll")
    uint32_t index = 0;   // the port's index within its library
    std::string name;     // "<maker> port <index>"
};

struct OtherMakerPorts {
    std::vector<OtherMakerPort> ports;
    // One line per library left out, naming the file and why: it does not load, lacks a
    // required call, reports more than 64 ports, or its information call fails.
    std::vector<std::string> skipped;
};

// Every port of every other maker's library in folder, libraries in file-name order, this
// system's own left out. No folder, a missing one or an empty one: nothing, silently.
OtherMakerPorts listOtherMakerPorts(const std::optional<std::string>& folder);

} // namespace clser
