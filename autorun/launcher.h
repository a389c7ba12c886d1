// The autorun launcher: makes sure every configured connection has its virtual pair
// and starts one hidden bridge program per connection.
#pragma once

namespace clser::autorun {

// The whole run after the single-instance check. Returns the exit status: -1 when
// the bridge program is missing, 0 otherwise (failures then show in a message box).
int runLauncher();

} // namespace clser::autorun
