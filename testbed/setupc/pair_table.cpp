#include "pair_table.h"

#include <algorithm>
#include <climits>
#include <sstream>

namespace clser::setupc {

std::vector<EmulatedPair> parsePairTable(std::string_view text)
{
    std::vector<EmulatedPair> pairs;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        EmulatedPair pair;
        std::string extra;
        if (fields >> pair.number >> pair.paramsA >> pair.paramsB && !(fields >> extra) && pair.number >= 0)
            pairs.push_back(pair);
    }
    return pairs;
}

std::string formatPairTable(const std::vector<EmulatedPair>& pairs)
{
    std::string text;
    for (const auto& pair : pairs)
        text += std::to_string(pair.number) + " " + pair.paramsA + " " + pair.paramsB + "\n";
    return text;
}

int lowestFreePairNumber(const std::vector<EmulatedPair>& pairs, int first)
{
    int number = first;
    while (findPair(pairs, number)) {
        if (number == INT_MAX)
            return -1;
        ++number;
    }
    return number;
}

std::string formatPairList(std::vector<EmulatedPair> pairs)
{
    std::sort(pairs.begin(), pairs.end(),
              [](const EmulatedPair& a, const EmulatedPair& b) { return a.number < b.number; });
    std::string text;
    for (const auto& pair : pairs) {
        const std::string n = std::to_string(pair.number);
        text += "       CNCA" + n + " " + pair.paramsA + "\n";
        text += "       CNCB" + n + " " + pair.paramsB + "\n";
    }
    return text;
}

std::optional<EmulatedPair> findPair(const std::vector<EmulatedPair>& pairs, int number)
{
    for (const auto& pair : pairs)
        if (pair.number == number)
            return pair;
    return std::nullopt;
}

} // namespace clser::setupc
