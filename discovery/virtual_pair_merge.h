// Merging the installed virtual pairs into the list of COM ports.
#pragma once

#include "discovery_ui.h"
#include "pair_library.h"
#include "virtual_pair.h"

#include <vector>

namespace clser::discovery {

// Takes out the first entry whose portName is the pair's port name or partner name (exact
// comparison), then appends the pair at the end. Only one entry is taken out per pair.
void mergePair(std::vector<VirtualPair>& portEntries, const VirtualPair& pair);

// Initialises the pair library and merges every pair it lists, in its order. When the
// library cannot initialise, its error text (if it has one) goes to the user once and no
// pair is merged; a pair that cannot be read is skipped.
void mergeVirtualPairs(std::vector<VirtualPair>& portEntries, PairLibrary& library, DiscoveryUi& ui);

} // namespace clser::discovery
