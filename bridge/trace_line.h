// The text of a trace line: each byte as "%x[%c] ", all pieces joined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace clser {

// Control characters (below 32, and 127) are shown as '.' between the brackets, so that
// a NUL never ends the line early and no line break or tab upsets the list.
std::string formatTraceLine(const uint8_t* bytes, size_t count);

} // namespace clser
