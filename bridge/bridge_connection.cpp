#include "bridge_connection.h"

#include "transfer_loop.h"
#include "transfer_state.h"

namespace clser {

BridgeConnection::BridgeConnection(const std::string& devicePath, const ConnectionSettings& s)
    : clPortIndex_(s.clPortIndex),
      clBaudCode_(s.clBaudCode),
      devicePath_(devicePath),
      baudRate_(s.baudRate),
      parity_(s.parity),
      dataBits_(s.dataBits),
      stopBits_(s.stopBits)
{
}

BridgeConnection::~BridgeConnection()
{
    // A thread still running here would outlive the ports it uses.
    if (thread_)
        stopTransfer();
}

int BridgeConnection::openClPort()
{
    return transferState().clPort.open(static_cast<uint32_t>(clPortIndex_), static_cast<uint32_t>(clBaudCode_));
}

int BridgeConnection::openComPort()
{
    return transferState().comPort.open(devicePath_.c_str(), baudRate_, parity_, dataBits_, stopBits_);
}

bool BridgeConnection::startTransfer(TraceSink* traceList)
{
    TransferState& s = transferState();
    s.run = true;
    s.traceList = traceList;
    thread_.reset(CreateThread(nullptr, 0, transferThreadProc, this, 0, &threadId_));
    return thread_.valid();
}

void BridgeConnection::stopTransfer()
{
    TransferState& s = transferState();
    s.run = false;
    {
        CriticalSectionLock lock(s.portLock);
        s.clPort.close();
        s.comPort.close();
    }
    // The thread has left the port lock and only returns now. Waiting for it keeps a
    // thread of this connection from ever running on into the next connection's ports.
    if (thread_) {
        WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
}

} // namespace clser
