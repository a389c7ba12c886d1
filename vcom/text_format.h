// printf-style formatting into a text of bounded size, and the library's formatted
// messages. Every message is formatted as if into a fixed buffer of the given size:
// a longer result is cut to size - 1 characters instead of running past it.
#pragma once

#include <cstddef>
#include <string>

namespace clser::vcom {

std::string formatBounded(std::size_t bufferSize, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// "Not found com0com ..." naming the directory below which com0com was expected.
std::string com0comNotFoundText(const std::string& baseDirectory);
// "Error GetOneCOMPair: Invalid index, please give 0-<pairCount - 1>".
std::string invalidPairIndexText(int pairCount);
// One line of the install countdown for `secondsLeft` (300 shows 05:00).
std::string waitingCountdownText(int secondsLeft);

} // namespace clser::vcom
