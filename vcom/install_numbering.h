// Which COM numbers the installation of every missing pair uses.
#pragma once

#include <cstddef>
#include <vector>

namespace clser::vcom {

// New pairs start at 10, or one above the highest number in use when that is 10 or more.
long long firstFreePairNumber(const std::vector<int>& usedNumbers);

// No machine carries more Camera Link serial ports than this; a serial library that
// reports more is broken, and at most this many pairs are installed in one go.
inline constexpr std::size_t kMaxPairsToInstall = 256;

// The numbers to install, in order: one per Camera Link serial port that has no listed
// pair yet (portCount - listedPairs, none when that is not positive, at most
// kMaxPairsToInstall). Numbers past the largest int cannot name a port and are left out.
std::vector<int> numbersToInstall(const std::vector<int>& usedNumbers, long long portCount, long long listedPairs);

} // namespace clser::vcom
