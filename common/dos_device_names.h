// The system's list of DOS device names (COM1, TARVCOM5, C:, ...).
#pragma once

#include <optional>
#include <string>

namespace clser {

// All device names as QueryDosDevice gives them: each name ended by a zero. Nothing when
// the list cannot be read.
std::optional<std::string> queryDosDeviceNames();

} // namespace clser
