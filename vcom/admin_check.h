// Whether the process already has administrator rights.
#pragma once

namespace clser::vcom {

// True only when the caller's token passes an access check against a security
// descriptor that grants access to the built-in Administrators group alone.
bool isUserAdmin();

} // namespace clser::vcom
