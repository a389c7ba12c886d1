// The command lines the setupc emulator understands: the ones com0com's client takes
// for listing, installing and removing pairs.
//   setupc [--silent] [--output FILE] list
//   setupc [--silent] install PortName=COMn PortName=TARVCOMn
//   setupc [--silent] remove N
#pragma once

#include <string>
#include <vector>

namespace clser::setupc {

enum class CommandKind { List, Install, Remove, MakeEnds, Invalid };

struct Command {
    CommandKind kind = CommandKind::Invalid;
    bool silent = false;
    std::string outputFile;   // list: where the list goes (empty: standard output)
    std::string paramsA;      // install: parameters of end A (PortName=COM5)
    std::string paramsB;      // install: parameters of end B (PortName=TARVCOM5)
    int pairNumber = -1;      // remove; make-ends
    unsigned delayMs = 0;     // make-ends
    std::string error;        // Invalid: what is wrong
};

// Internal command with which an install hands the late creation of a pair's ends to a
// second emulator process: setupc --make-ends N DELAY_MS.
inline constexpr char kMakeEndsOption[] = "--make-ends";

Command parseCommandLine(const std::vector<std::string>& args);

// The value of PortName in a comma-separated parameter list, or empty.
std::string portNameOf(const std::string& params);

} // namespace clser::setupc
