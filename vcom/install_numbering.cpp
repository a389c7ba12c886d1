#include "install_numbering.h"

#include <algorithm>
#include <climits>

namespace clser::vcom {

long long firstFreePairNumber(const std::vector<int>& usedNumbers)
{
    constexpr int kLowestBase = 9;
    long long base = kLowestBase;
    if (!usedNumbers.empty()) {
        const int highest = *std::max_element(usedNumbers.begin(), usedNumbers.end());
        if (highest >= 10)
            base = highest;
    }
    return base + 1;
}

std::vector<int> numbersToInstall(const std::vector<int>& usedNumbers, long long portCount, long long listedPairs)
{
    std::vector<int> numbers;
    const long long first = firstFreePairNumber(usedNumbers);
    const long long missing = std::min(portCount - listedPairs, static_cast<long long>(kMaxPairsToInstall));
    for (long long i = 0; i < missing && first + i <= INT_MAX; ++i)
        numbers.push_back(static_cast<int>(first + i));
    return numbers;
}

} // namespace clser::vcom
