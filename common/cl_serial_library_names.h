// Which files in the Camera Link library folder are makers' serial libraries, what a
// connection's library name may be, and the texts made of a library's answers. Plain code.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace clser {

// This system's own serial library, found by the loader beside the programs.
inline constexpr char kOwnClSerialLibrary[] = "clserbvk.dll";
// A library that claims more ports than this is not believed.
inline constexpr uint32_t kMaxLibraryPorts = 64;
// Without a port-count call, the indices tried until the library says one is invalid.
inline constexpr uint32_t kProbedPortIndices = 16;

// True for an empty name and for this system's own library, in any letter case.
bool isOwnClSerialLibrary(std::string_view fileName);
// True when both names stand for the same library: both this system's own, or the same
// file name in any letter case.
bool sameClSerialLibrary(std::string_view a, std::string_view b);
// True for "clser<something>.dll" in any letter case.
bool isClSerialLibraryFileName(std::string_view fileName);
// The makers' serial libraries among the file names of the folder, this system's own left
// out, in file-name order (letter case ignored, as Windows orders names).
std::vector<std::string> otherMakerLibraries(std::vector<std::string> fileNames);

// Why a library name cannot name a file inside the folder: "" when it can, else the
// reason ("a path instead of a file name", or "not a file name" for a character that no
// Windows file name has: a quote, <, >, |, ?, * or a control character).
std::string clLibraryNameProblem(std::string_view fileName);

// The number of ports found by trying indices 0, 1, ... with init, which returns the
// status of clSerialInit for an index: up to the first index the library calls invalid,
// at most kProbedPortIndices.
uint32_t probedPortCount(const std::function<int32_t(uint32_t)>& init);

// "9600, 19200, 115200": the rates of a mask of baud-rate constants, slowest first.
std::string supportedRatesText(uint32_t baudRateMask);

// "<maker> port <k>", the name of another maker's port in the port lists.
std::string otherMakerPortName(std::string_view maker, uint32_t portNumber);

// The maker's name as a library's buffer holds it: up to the first zero, blanks trimmed.
std::string makerNameOfBuffer(std::string_view buffer);

} // namespace clser
