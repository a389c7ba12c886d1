// The full path of a module of this process (the program itself by default) and the
// directory a path lies in.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace clser {

// The full path of the module, read into a buffer that grows until the whole path fits;
// empty when the system cannot say.
std::string modulePath(HMODULE module = nullptr);

// The text before the path's last backslash; empty when it has none.
std::string directoryOf(std::string_view path);

} // namespace clser
