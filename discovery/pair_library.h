// The calls of the virtual COM port pair library, behind an interface so that the port
// list can be built without the library.
#pragma once

#include "virtual_pair.h"

#include <optional>
#include <string>

namespace clser::discovery {

struct PairLibrary {
    virtual ~PairLibrary() = default;
    virtual int init() = 0;                          // TarvVComInit: 0 on failure
    virtual int errorDescription(char* buffer) = 0;  // TarvVComGetErrorDescription
    virtual int pairCount() = 0;                     // TarvVComGetCOMPairCount
    // TarvVComGetOneCOMPair: nonzero when the three zero-filled buffers were filled
    virtual int onePair(int index, char* pairId, char* portName, char* partnerName) = 0;

    // The library's last error text; nothing when the library says it has none.
    std::optional<std::string> errorText();
    // The pair at an index, read into zero-filled pair text buffers; nothing when the
    // library gives no pair there.
    std::optional<VirtualPair> pairAt(int index);
};

} // namespace clser::discovery
