// Where the transfer thread's text lines go: the trace list of the main dialog.
// addLine must hand the line over without waiting for the user-interface thread,
// which may itself be waiting for the transfer thread to leave the port lock.
#pragma once

#include <string>

namespace clser {

class TraceSink {
public:
    virtual ~TraceSink() = default;
    // Adds a line at the end of the list and scrolls so that the line ten places
    // before the end is the top one. Lines appear in the order they are added.
    virtual void addLine(std::string line) = 0;
};

} // namespace clser
