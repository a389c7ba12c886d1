#include "list_file_location.h"

#include "vcom_messages.h"
#include "text_format.h"

namespace clser::vcom {

std::optional<ListFileLocation> listFileLocation(const std::optional<std::string>& tempDirectory)
{
    if (!tempDirectory || tempDirectory->empty() || tempDirectory->size() > kLongestTempDirectory)
        return std::nullopt;
    // Sized so that the longest accepted TEMP never cuts the name.
    constexpr std::size_t kRoom = kLongestTempDirectory + 64;
    ListFileLocation location{formatBounded(kRoom, text::kListFileName, tempDirectory->c_str()),
                              formatBounded(kRoom, text::kListCommand, tempDirectory->c_str())};
    // A directory with blanks (a user name with a space) would reach setupc as several
    // arguments; quoted, it stays one. Other paths go exactly as they are.
    if (tempDirectory->find_first_of(" \t") != std::string::npos)
        location.listParameters = "--output \"" + location.listFile + "\" list";
    return location;
}

} // namespace clser::vcom
