// One com0com pair as the library reports it: its identifier and its two ends.
#pragma once

#include <string>

namespace clser::vcom {

struct VirtualPair {
    std::string pairId;      // "CNC" and com0com's pair number, e.g. CNC0; the key for removal
    std::string portName;    // the user's end, e.g. COM5
    std::string partnerName; // the bridge's end, e.g. TARVCOM5

    bool operator==(const VirtualPair& o) const
    {
        return pairId == o.pairId && portName == o.portName && partnerName == o.partnerName;
    }
};

} // namespace clser::vcom
