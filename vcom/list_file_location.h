// The file into which setupc writes the pair list, in the temporary directory.
#pragma once

#include <optional>
#include <string>

namespace clser::vcom {

// The longest TEMP value the library takes (the value and its terminator fill 512 bytes).
inline constexpr std::size_t kLongestTempDirectory = 511;

struct ListFileLocation {
    std::string listFile;      // <TEMP>\TarvVirtualCom.txt
    std::string listParameters; // --output <TEMP>\TarvVirtualCom.txt list (the file
                                // name in double quotes when TEMP has blanks)
};

// Nothing when TEMP is unset or longer than the library takes: there is then no
// defined place for the list file.
std::optional<ListFileLocation> listFileLocation(const std::optional<std::string>& tempDirectory);

} // namespace clser::vcom
