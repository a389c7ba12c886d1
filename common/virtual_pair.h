// One com0com pair, or one plain COM port, as the port lists hold it.
#pragma once

#include <string>
#include <string_view>

namespace clser {

// A plain COM port has an empty pairId and partnerName.
struct VirtualPair {
    std::string pairId;      // "CNC" and com0com's pair number, e.g. CNC0; the key for removal
    std::string portName;    // the user's end, e.g. COM5
    std::string partnerName; // the bridge's end, e.g. TARVCOM5

    bool operator==(const VirtualPair& o) const
    {
        return pairId == o.pairId && portName == o.portName && partnerName == o.partnerName;
    }
};

// The bridge's end of the pair whose user end is comPortName: COM5 -> TARVCOM5.
inline std::string partnerName(std::string_view comPortName) { return "TARV" + std::string(comPortName); }

} // namespace clser
