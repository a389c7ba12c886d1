// Where the library looks for com0com's client setupc.exe.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clser::vcom {

struct SetupcCandidate {
    std::string directory; // used as the working directory of every run
    std::string path;      // directory + "\setupc.exe"
};

// The path cut twice at its last backslash: for a program's path, the parent of its
// directory. A text without backslash becomes empty.
std::string parentOfProgramDirectory(std::string_view programPath);

// "\com0com\x64" for PROCESSOR_ARCHITECTURE_AMD64, "\com0com\i386" for _INTEL, else empty.
std::string com0comSubdirectory(unsigned processorArchitecture);

// The places to try, in order: below the parent of the program's directory, then below
// the roots named by TARVDIR5_32 and TARVDIR5 when they are set. A root without a
// com0com subdirectory for this architecture offers no candidate.
std::vector<SetupcCandidate> setupcCandidates(const std::string& programPath, unsigned processorArchitecture,
                                              const std::optional<std::string>& tarvdir5_32,
                                              const std::optional<std::string>& tarvdir5);

// The first candidate whose path exists, or an empty one. Reads the program path, the
// machine's architecture and the two variables.
SetupcCandidate findSetupc();

} // namespace clser::vcom
