// The pair library served by TarvVirtualComPort.dll: the only place in the programs that
// calls its functions.
#pragma once

#include "pair_library.h"

#include <string>

namespace clser::vcom {

class TarvVComPairLibrary : public discovery::PairLibrary {
public:
    int init() override;
    int errorDescription(char* buffer) override;
    int pairCount() override;
    int onePair(int index, char* pairId, char* portName, char* partnerName) override;

    int installAll();                      // TarvVComInstallAll: 0 on failure
    int install(int comNumber);            // TarvVComInstall: 0 on failure
    int checkPortUse(int comNumber);       // TarvVComCheckPortUse: nonzero when the number is taken
    int remove(const std::string& pairId); // TarvVComRemove: 0 on failure
    int close();                           // TarvVComClose
};

} // namespace clser::vcom
