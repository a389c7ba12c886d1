// The bridge program's application object: everything from process start to the end
// of the main dialog.
#pragma once

#include "instance_mutex.h"
#include "pair_library.h"

#include <string>
#include <vector>

namespace clser::app {

class CClserDunmereGUIApp {
public:
    // Registers the common controls, takes the instance mutex, starts the pair library,
    // reads the command line (the arguments after the program name) and runs the main
    // dialog modally. Returns the process's exit code.
    int initInstance(const std::vector<std::string>& arguments);

private:
    InstanceMutexes mutexes_;
};

// The pair library could not start: its error text, if it has one, in a message box
// without owner or caption. True when a box was shown.
bool showPairLibraryFailure(discovery::PairLibrary& library);

} // namespace clser::app
