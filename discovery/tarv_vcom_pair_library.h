// The pair library interface served by TarvVirtualComPort.dll.
#pragma once

#include "pair_library.h"

namespace clser::discovery {

class TarvVComPairLibrary : public PairLibrary {
public:
    int init() override;
    int errorDescription(char* buffer) override;
    int pairCount() override;
    int onePair(int index, char* pairId, char* portName, char* partnerName) override;
};

} // namespace clser::discovery
