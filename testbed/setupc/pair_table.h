// The emulator's installed pairs: the table kept in its state file, and the list that
// the list command writes from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clser::setupc {

struct EmulatedPair {
    int number = 0;        // com0com's pair number: the pair's ends are CNCA<number>, CNCB<number>
    std::string paramsA;   // PortName=COM5
    std::string paramsB;   // PortName=TARVCOM5

    bool operator==(const EmulatedPair& o) const
    {
        return number == o.number && paramsA == o.paramsA && paramsB == o.paramsB;
    }
};

// State file: one pair a line, "<number> <paramsA> <paramsB>". Lines that do not read
// are left out.
std::vector<EmulatedPair> parsePairTable(std::string_view text);
std::string formatPairTable(const std::vector<EmulatedPair>& pairs);

// The lowest pair number, not below `first`, that no pair has; -1 when every number
// from `first` up to the largest int is taken.
int lowestFreePairNumber(const std::vector<EmulatedPair>& pairs, int first);

// com0com's list: per pair "       CNCA<n> <paramsA>" and "       CNCB<n> <paramsB>",
// in pair number order, each line ended by a line feed.
std::string formatPairList(std::vector<EmulatedPair> pairs);

// The pair with that number, if installed.
std::optional<EmulatedPair> findPair(const std::vector<EmulatedPair>& pairs, int number);

} // namespace clser::setupc
