// The calls of the virtual COM port pair library that the port list uses, behind an
// interface so that the list can be built without the library.
#pragma once

namespace clser::discovery {

struct PairLibrary {
    virtual ~PairLibrary() = default;
    virtual int init() = 0;                          // TarvVComInit: 0 on failure
    virtual int errorDescription(char* buffer) = 0;  // TarvVComGetErrorDescription
    virtual int pairCount() = 0;                     // TarvVComGetCOMPairCount
    // TarvVComGetOneCOMPair: nonzero when the three zero-filled buffers were filled
    virtual int onePair(int index, char* pairId, char* portName, char* partnerName) = 0;
};

} // namespace clser::discovery
