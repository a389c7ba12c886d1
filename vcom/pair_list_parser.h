// Reads the pair list that setupc writes with its list command: two lines per pair,
//        CNCA0 PortName=COM5
//        CNCB0 PortName=TARVCOM5
// with the other parameters set on a port after its name: PortName=COM5,EmuBR=yes.
// The text is what a text-mode read of the file gives (line ends are single line feeds).
#pragma once

#include "virtual_pair.h"

#include <string_view>
#include <vector>

namespace clser::vcom {

struct PairListParse {
    std::vector<VirtualPair> pairs; // in file order, adjacent duplicates dropped
    bool valid = true;              // false: a line too short or a bad A/B pairing
};

// Pairs read before a malformed pair stay in the result. The pair number is the whole
// run of digits after CNCA/CNCB, so pair 12 is CNC12, not CNC1.
PairListParse parsePairList(std::string_view fileText);

} // namespace clser::vcom
