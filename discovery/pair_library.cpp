#include "pair_library.h"

#include <cstring>

namespace clser::discovery {
namespace {

constexpr std::size_t kPairTextSize = 20; // each pair text buffer, zero-filled before the call

// A pair text as the library left it; a text that fills the buffer has no terminating
// zero and is read only up to the buffer's end.
std::string pairText(const char (&buffer)[kPairTextSize])
{
    return std::string(buffer, strnlen(buffer, kPairTextSize));
}

} // namespace

std::optional<std::string> PairLibrary::errorText()
{
    const int size = errorDescription(nullptr);
    if (size <= 0)
        return std::nullopt;
    // One byte more than asked for, so that the text ends inside the buffer whatever the
    // library writes.
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    errorDescription(text.data());
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::optional<VirtualPair> PairLibrary::pairAt(int index)
{
    char pairId[kPairTextSize] = {};
    char portName[kPairTextSize] = {};
    char partnerName[kPairTextSize] = {};
    if (onePair(index, pairId, portName, partnerName) == 0)
        return std::nullopt;
    return VirtualPair{pairText(pairId), pairText(portName), pairText(partnerName)};
}

} // namespace clser::discovery
