#include "virtual_pair_merge.h"

#include <algorithm>

namespace clser::discovery {
void mergePair(std::vector<VirtualPair>& portEntries, const VirtualPair& pair)
{
    const auto same = std::find_if(portEntries.begin(), portEntries.end(), [&](const VirtualPair& entry) {
        return entry.portName == pair.portName || entry.portName == pair.partnerName;
    });
    if (same != portEntries.end())
        portEntries.erase(same);
    portEntries.push_back(pair);
}

void mergeVirtualPairs(std::vector<VirtualPair>& portEntries, PairLibrary& library, DiscoveryUi& ui)
{
    if (library.init() == 0) {
        if (const std::optional<std::string> text = library.errorText())
            ui.showLibraryError(*text);
        return;
    }
    const int count = library.pairCount();
    for (int index = 0; index < count; ++index)
        if (const std::optional<VirtualPair> pair = library.pairAt(index))
            mergePair(portEntries, *pair);
}

} // namespace clser::discovery
