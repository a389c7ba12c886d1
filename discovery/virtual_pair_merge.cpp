#include "virtual_pair_merge.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace clser::discovery {
namespace {

constexpr std::size_t kPairTextSize = 20; // each pair text buffer, zero-filled before the call

// A pair text as the library left it; a text that fills the buffer has no terminating
// zero and is read only up to the buffer's end.
std::string pairText(const char (&buffer)[kPairTextSize])
{
    return std::string(buffer, strnlen(buffer, kPairTextSize));
}

void showInitFailure(PairLibrary& library, DiscoveryUi& ui)
{
    const int size = library.errorDescription(nullptr);
    if (size <= 0)
        return;
    // One byte more than asked for, so that the text ends inside the buffer whatever the
    // library writes.
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    library.errorDescription(text.data());
    text.resize(std::strlen(text.c_str()));
    ui.showLibraryError(text);
}

} // namespace

void mergePair(std::vector<PortEntry>& portEntries, const PortEntry& pair)
{
    const auto same = std::find_if(portEntries.begin(), portEntries.end(), [&](const PortEntry& entry) {
        return entry.portName == pair.portName || entry.portName == pair.partnerName;
    });
    if (same != portEntries.end())
        portEntries.erase(same);
    portEntries.push_back(pair);
}

void mergeVirtualPairs(std::vector<PortEntry>& portEntries, PairLibrary& library, DiscoveryUi& ui)
{
    if (library.init() == 0) {
        showInitFailure(library, ui);
        return;
    }
    const int count = library.pairCount();
    for (int index = 0; index < count; ++index) {
        char pairId[kPairTextSize] = {};
        char portName[kPairTextSize] = {};
        char partnerName[kPairTextSize] = {};
        if (library.onePair(index, pairId, portName, partnerName) == 0)
            continue;
        mergePair(portEntries, PortEntry{pairText(pairId), pairText(portName), pairText(partnerName)});
    }
}

} // namespace clser::discovery
