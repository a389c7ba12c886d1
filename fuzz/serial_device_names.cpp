// A DOS device listing as QueryDosDeviceA could return it, with a Camera Link port count
// and a pair count: the names taken look like serial port ends, the used numbers are
// theirs, and the numbers to install are new, consecutive and bounded.
//
// Input: 4 bytes port count (as the serial library reports it), 2 bytes listed pairs,
// then the zero-separated names.
#include "fuzz_check.h"
#include "install_numbering.h"
#include "serial_device_names.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <string>

using namespace clser::vcom;

namespace {

bool startsWithIgnoringCase(const std::string& s, const char* prefix)
{
    const size_t n = std::strlen(prefix);
    if (s.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6)
        return 0;
    uint32_t portCount = 0;
    uint16_t listedPairs = 0;
    std::memcpy(&portCount, data, 4);
    std::memcpy(&listedPairs, data + 4, 2);
    const std::string_view listing(reinterpret_cast<const char*>(data) + 6, size - 6);

    const auto names = filterSerialDeviceNames(listing);
    for (const auto& name : names) {
        FUZZ_CHECK(name.size() >= 4 && name.size() <= 14);
        FUZZ_CHECK((startsWithIgnoringCase(name, "com") && isAllDigits(name.substr(3))) ||
                   (startsWithIgnoringCase(name, "tarvcom") && isAllDigits(name.substr(7))));
    }
    const auto used = collectUsedPortNumbers(names);
    FUZZ_CHECK(used.size() <= names.size());
    for (int n : used)
        FUZZ_CHECK(n >= 0);

    // As TarvVComInstallAll asks: the count as the serial library reported it.
    const auto numbers = numbersToInstall(used, portCount, listedPairs);
    const long long missing = static_cast<long long>(portCount) - listedPairs;
    FUZZ_CHECK(static_cast<long long>(numbers.size()) <= std::max(0LL, missing));
    FUZZ_CHECK(numbers.size() <= kMaxPairsToInstall);
    const int highest = used.empty() ? 0 : *std::max_element(used.begin(), used.end());
    for (size_t i = 0; i < numbers.size(); ++i) {
        FUZZ_CHECK(numbers[i] >= 10 && numbers[i] > highest);
        FUZZ_CHECK(i == 0 || numbers[i] == numbers[i - 1] + 1);
    }
    if (!numbers.empty())
        FUZZ_CHECK(numbers.front() == firstFreePairNumber(used));
    return 0;
}
