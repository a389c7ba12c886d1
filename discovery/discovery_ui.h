// What port discovery needs from the window that owns it.
#pragma once

#include <string>

namespace clser::discovery {

struct DiscoveryUi {
    virtual ~DiscoveryUi() = default;
    // The pair library could not initialise: show its error text in a message box owned
    // by the main dialog, with no caption of its own and the exclamation icon.
    virtual void showLibraryError(const std::string& text) = 0;
};

} // namespace clser::discovery
