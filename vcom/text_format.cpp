#include "text_format.h"

#include "vcom_messages.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace clser::vcom {

std::string formatBounded(std::size_t bufferSize, const char* format, ...)
{
    if (bufferSize == 0)
        return {};
    std::vector<char> buffer(bufferSize, '\0');
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer.data(), bufferSize, format, args);
    va_end(args);
    // Some C runtimes leave a cut text without its terminator.
    buffer[bufferSize - 1] = '\0';
    return buffer.data();
}

std::string com0comNotFoundText(const std::string& baseDirectory)
{
    return formatBounded(512, text::kCom0comNotFound, baseDirectory.c_str());
}

std::string invalidPairIndexText(int pairCount)
{
    // The highest valid index; without pairs there is none (the text then says 0--1).
    const int highestIndex = pairCount > 0 ? pairCount - 1 : -1;
    return formatBounded(512, text::kInvalidPairIndex, highestIndex);
}

std::string waitingCountdownText(int secondsLeft)
{
    const int minutes = secondsLeft / 60;
    const int seconds = secondsLeft % 60;
    return seconds < 10 ? formatBounded(128, text::kWaitingSecondsBelowTen, minutes, seconds)
                        : formatBounded(128, text::kWaitingSeconds, minutes, seconds);
}

} // namespace clser::vcom
