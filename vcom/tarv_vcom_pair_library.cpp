#include "tarv_vcom_pair_library.h"

#include "TarvVirtualComPort.h"

namespace clser::vcom {

int TarvVComPairLibrary::init() { return TarvVComInit(); }
int TarvVComPairLibrary::errorDescription(char* buffer) { return TarvVComGetErrorDescription(buffer); }
int TarvVComPairLibrary::pairCount() { return TarvVComGetCOMPairCount(); }
int TarvVComPairLibrary::onePair(int index, char* pairId, char* portName, char* partnerName)
{
    return TarvVComGetOneCOMPair(index, pairId, portName, partnerName);
}

int TarvVComPairLibrary::installAll() { return TarvVComInstallAll(); }
int TarvVComPairLibrary::install(int comNumber) { return TarvVComInstall(comNumber); }
int TarvVComPairLibrary::checkPortUse(int comNumber) { return TarvVComCheckPortUse(comNumber); }
int TarvVComPairLibrary::remove(const std::string& pairId) { return TarvVComRemove(pairId.c_str()); }
int TarvVComPairLibrary::close() { return TarvVComClose(); }

} // namespace clser::vcom
