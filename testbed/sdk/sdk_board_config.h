// The boards that the SDK stand-ins (acqlib5.dll, tarv_hal.dll) pretend to have, read
// from the file that CLSER_SDK_CONFIG names. Without the variable: one board "SimBoard"
// at device index 0 with two serial ports. The file holds "key = value" lines; empty
// lines and lines starting with # are skipped:
//
//   boardcount = 2      text that Fg_getSystemInformation answers for selector 1000
//                       (default: the number of boards)
//   sysinfo = -1        result of Fg_getSystemInformation; nonzero makes it fail (default 0)
//   maxdevices = 4      THalGetMaxDevices (default: highest board index + 1)
//   board3.name = A     "board/name" of the board at device index 3; the rest of the line,
//                       spaces around it removed. A board without a name line has no name.
//   board3.serial = 4   "ports/serial" (default 0)
//   board3.cl = 2       "cl" (default 0)
//
// A board exists at every device index that one of its keys names; other indices give
// no handle.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace clser::testbed {

struct SimBoard {
    std::optional<std::string> name;
    int serialPorts = 0;
    int cameraLinkPorts = 0;
};

struct SdkBoardConfig {
    bool valid = true;      // false when the file could not be read or parsed
    std::string error;      // why, for the stand-ins' diagnostic line
    std::string boardCountText;
    int systemInfoResult = 0;
    int maxDevices = 0;
    std::map<int, SimBoard> boards; // by device index
};

// Parses the file's text; on a bad line the result is not valid and says which line.
SdkBoardConfig parseSdkBoardConfig(std::string_view text);

// The configuration now in force: the file named by CLSER_SDK_CONFIG, read anew on every
// call so that a test can switch boards between calls, or the default one.
SdkBoardConfig currentSdkBoardConfig();

} // namespace clser::testbed
