// Configuration of the setupc emulator: the faults and delays a test asks for. The file
// is named by the environment variable CLSER_SETUPC_CONFIG; without it the emulator
// behaves like a healthy com0com. One "key = value" a line, '#' starts a comment:
//   install_hang_ms = N   an install sleeps N ms, then ends without installing anything
//   list_hang_ms = N      a list run sleeps N ms, then ends without writing the list
//   list = normal | malformed | empty_first_line
//                         malformed: a CNCA line followed by a CNCB line of another pair
//   list_text = FILE      a list run writes the bytes of FILE as the list, as they are
//   list_params = TEXT    the list shows ",TEXT" after each end's port name, as com0com
//                         shows the other parameters set on a port (EmuBR=yes,cts=rrts)
//   ends = now | never | after N
//                         when the ends of an installed pair become openable: before
//                         the install ends, never, or N ms after it ended
//   first_pair = N        the lowest com0com pair number an install uses (default 0)
//   log = FILE            every run appends "<working directory>|<arguments>" to FILE
// FILE may be a Windows path or a Linux path (starting with '/').
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace clser::setupc {

inline constexpr char kConfigVariable[] = "CLSER_SETUPC_CONFIG";

enum class ListMode { Normal, Malformed, EmptyFirstLine };
enum class EndsMode { Now, Never, After };

struct EmulatorConfig {
    unsigned installHangMs = 0;
    unsigned listHangMs = 0;
    ListMode list = ListMode::Normal;
    std::string listTextFile;
    std::string listParams;
    EndsMode ends = EndsMode::Now;
    unsigned endsDelayMs = 0;
    int firstPair = 0;
    std::string logFile;
};

struct EmulatorConfigParse {
    EmulatorConfig config;
    std::vector<std::string> errors; // "line N: ..."
};

EmulatorConfigParse parseEmulatorConfig(std::string_view text);

} // namespace clser::setupc
