// One COM port or installed virtual pair in the bridge program's port list.
#pragma once

#include <string>

namespace clser::discovery {

struct PortEntry {
    std::string pairId;      // the pair's identifier (CNC0); empty for a plain COM port
    std::string portName;    // COM5: the device name, or the pair's COM-side end
    std::string partnerName; // TARVCOM5: the end the bridge opens; empty for a plain port

    bool operator==(const PortEntry& other) const
    {
        return pairId == other.pairId && portName == other.portName && partnerName == other.partnerName;
    }
};

} // namespace clser::discovery
