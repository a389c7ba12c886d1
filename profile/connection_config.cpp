#include "connection_config.h"

#include "cl_serial_library_names.h"
#include "letter_case.h"
#include "profile_file.h"

namespace clser {

int writeBackSettings(const std::string& path, const std::string& previousComName, int32_t previousClIndex,
                      int clPortNameCount, const LineSettings& line, bool lowLatency,
                      const std::string& previousClLibrary)
{
    for (int i = 1; i <= clPortNameCount; ++i) {
        const profile::ProfileFile section(path, i);
        const std::string com = section.text(profile::kCom, profile::kValueBufferSize, "");
        if (upperCase(com) != previousComName || section.number(profile::kClser, -1) != previousClIndex)
            continue;
        const std::string library = section.text(profile::kCllibrary, profile::kClLibraryBufferSize, "");
        if (!sameClSerialLibrary(library, previousClLibrary))
            continue;
        profile::ConnectionProfile confirmed;
        confirmed.line = line;
        confirmed.lowLatency = lowLatency;
        // The section's library goes with its "clser", which is never written either.
        confirmed.clLibrary = library;
        profile::writeKeys(path, i, profile::writeBack(confirmed));
        return i;
    }
    return 0;
}

} // namespace clser
