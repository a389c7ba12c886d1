// The items of the virtual COM port dialog's port box and the pair each one stands for.
#pragma once

#include "virtual_pair.h"

#include <cstdint>
#include <string>
#include <vector>

namespace clser::app {

struct VirtualPortItem {
    std::string text;  // "COM5-TARVCOM5", or a port name alone
    intptr_t data = 0; // the pair's number (CNC3 gives 3)
};

// The number in a pair identifier from its fourth character on, as far as it is digits
// ("CNC3" gives 3); 0 when there is none.
intptr_t pairNumberOfId(const std::string& pairId);

// The identifier the library removes a pair by: "CNC<number>".
std::string pairIdOfNumber(intptr_t number);

// Pairs first, in list order, then the physical ports; the box sorts them.
std::vector<VirtualPortItem> virtualPortItems(const std::vector<VirtualPair>& pairs,
                                              const std::vector<std::string>& physicalPortNames);

// True when the item is a pair (its text contains "TARVCOM").
bool isPairItem(const std::string& text);

} // namespace clser::app
