#include "tarv_vcom_pair_library.h"

#include "TarvVirtualComPort.h"

namespace clser::discovery {

int TarvVComPairLibrary::init() { return TarvVComInit(); }
int TarvVComPairLibrary::errorDescription(char* buffer) { return TarvVComGetErrorDescription(buffer); }
int TarvVComPairLibrary::pairCount() { return TarvVComGetCOMPairCount(); }
int TarvVComPairLibrary::onePair(int index, char* pairId, char* portName, char* partnerName)
{
    return TarvVComGetOneCOMPair(index, pairId, portName, partnerName);
}

} // namespace clser::discovery
