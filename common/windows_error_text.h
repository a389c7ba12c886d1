// A Windows error as a line can say it.
#pragma once

#include <windows.h>

#include <string>

namespace clser {

// "Windows error 3: The system cannot find the path specified."
std::string windowsErrorText(DWORD error);

} // namespace clser
