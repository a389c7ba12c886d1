#include "setupc_location.h"

#include "environment_value.h"
#include "program_path.h"

#include <windows.h>

namespace clser::vcom {
namespace {

constexpr char kSetupcFile[] = "\\setupc.exe";
bool pathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::string parentOfProgramDirectory(std::string_view programPath) { return directoryOf(directoryOf(programPath)); }

std::string com0comSubdirectory(unsigned processorArchitecture)
{
    switch (processorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
        return "\\com0com\\x64";
    case PROCESSOR_ARCHITECTURE_INTEL:
        return "\\com0com\\i386";
    default:
        return {};
    }
}

std::vector<SetupcCandidate> setupcCandidates(const std::string& programPath, unsigned processorArchitecture,
                                              const std::optional<std::string>& tarvdir5_32,
                                              const std::optional<std::string>& tarvdir5)
{
    const std::string subdirectory = com0comSubdirectory(processorArchitecture);
    std::vector<SetupcCandidate> candidates;
    const std::string besideProgram = parentOfProgramDirectory(programPath) + subdirectory;
    candidates.push_back({besideProgram, besideProgram + kSetupcFile});
    for (const auto* root : {&tarvdir5_32, &tarvdir5}) {
        // Without a subdirectory the path would be "\setupc.exe" at the root of the current drive.
        if (!*root || subdirectory.empty())
            continue;
        const std::string directory = **root + subdirectory;
        candidates.push_back({directory, directory + kSetupcFile});
    }
    return candidates;
}

SetupcCandidate findSetupc()
{
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    const auto candidates = setupcCandidates(modulePath(), info.wProcessorArchitecture,
                                             environmentValue("TARVDIR5_32"), environmentValue("TARVDIR5"));
    for (const auto& candidate : candidates)
        if (pathExists(candidate.path))
            return candidate;
    return {};
}

} // namespace clser::vcom
