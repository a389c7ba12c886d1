// The bridge program's part of the configuration file: after the port settings dialog
// is confirmed in autorun mode, the confirmed line settings go back into the section of
// the connection this process serves.
#pragma once

#include "line_settings.h"

#include <cstdint>
#include <string>

namespace clser {

// Looks at sections connection1 ... connection<clPortNameCount> for the first whose
// "com" (upper-cased) equals previousComName, whose "clser" equals previousClIndex and
// whose "cllibrary" names the same library as previousClLibrary (this system's own for
// an empty value or its own file name, letter case ignored), and writes "baudrate",
// "parity", "databit" and "stopbit" into it. "com", "clser" and "cllibrary" keep their
// values. Returns the number of the section written, 0 when none matched: then nothing
// is written at all, so no other connection's section changes.
// "lowlatency" follows as "1" or "0", but only when the mode is on or the section
// already has a value for it: a section that never asked for the mode keeps no key.
int writeBackSettings(const std::string& configPath, const std::string& previousComName, int32_t previousClIndex,
                      int clPortNameCount, const LineSettings& line, bool lowLatency = false,
                      const std::string& previousClLibrary = "");

} // namespace clser
