#include "setupc_location.h"

#include <windows.h>

#include <cstdlib>

namespace clser::vcom {
namespace {

constexpr char kSetupcFile[] = "\\setupc.exe";
constexpr DWORD kProgramPathBufferSize = 256;

void cutAtLastBackslash(std::string& path)
{
    const std::size_t last = path.rfind('\\');
    path.erase(last == std::string::npos ? 0 : last);
}

bool pathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::string parentOfProgramDirectory(std::string programPath)
{
    cutAtLastBackslash(programPath);
    cutAtLastBackslash(programPath);
    return programPath;
}

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

std::string mainProgramPath()
{
    char path[kProgramPathBufferSize] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, kProgramPathBufferSize);
    return std::string(path, n < kProgramPathBufferSize ? n : kProgramPathBufferSize - 1);
}

std::optional<std::string> environmentValue(const char* name)
{
    // The size query's own status differs between C runtimes (0 or ERANGE); the size
    // it reports is what counts, 0 meaning unset.
    std::size_t required = 0;
    getenv_s(&required, nullptr, 0, name);
    if (required == 0)
        return std::nullopt;
    std::string value(required, '\0');
    if (getenv_s(&required, value.data(), value.size(), name) != 0)
        return std::nullopt;
    value.resize(value.find('\0') == std::string::npos ? value.size() : value.find('\0'));
    return value;
}

SetupcCandidate findSetupc()
{
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    const auto candidates = setupcCandidates(mainProgramPath(), info.wProcessorArchitecture,
                                             environmentValue("TARVDIR5_32"), environmentValue("TARVDIR5"));
    for (const auto& candidate : candidates)
        if (pathExists(candidate.path))
            return candidate;
    return {};
}

} // namespace clser::vcom
