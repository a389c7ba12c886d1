// The value of an environment variable of this process.
#pragma once

#include <optional>
#include <string>

namespace clser {

// Nothing when the variable is not set; a variable set to an empty text gives "".
std::optional<std::string> environmentValue(const char* name);

} // namespace clser
