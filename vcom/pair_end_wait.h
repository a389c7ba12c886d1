// After setupc has installed a pair: waiting until both of its ends can be opened.
#pragma once

#include <functional>
#include <string>

namespace clser::vcom {

// One attempt per second, 300 in all: five minutes.
inline constexpr int kPairEndAttempts = 300;

struct PairEndWaitSteps {
    std::function<bool()> bothEndsOpen;               // one attempt to open both ends
    std::function<void(const std::string&)> print;    // a progress text, as is
    std::function<void()> pause;                      // one second between attempts
};

// Tries up to `attempts` times. Before each pause it prints the countdown line
// (05:00 first, then down to 00:01); when both ends open it prints the success line.
bool waitForPairEnds(int attempts, const PairEndWaitSteps& steps);

// The real attempt: opens \\.\COM<n> and \\.\TARVCOM<n> for reading and writing,
// unshared, and closes them again.
bool pairEndsOpen(int comNumber);

} // namespace clser::vcom
