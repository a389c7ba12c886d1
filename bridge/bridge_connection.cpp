#include "bridge_connection.h"

#include "transfer_loop.h"
#include "windows_error_status.h"

namespace clser {
namespace {

HANDLE createThread(LPTHREAD_START_ROUTINE proc, void* argument, DWORD* threadId)
{
    return CreateThread(nullptr, 0, proc, argument, 0, threadId);
}

} // namespace

BridgeConnection::BridgeConnection(const std::string& devicePath, const ConnectionSettings& s,
                                   const TransferTimings& timings, ThreadStarter startThread)
    : clPortIndex_(s.clPortIndex),
      clBaudCode_(s.clBaudCode),
      devicePath_(devicePath),
      baudRate_(s.baudRate),
      parity_(s.parity),
      dataBits_(s.dataBits),
      stopBits_(s.stopBits),
      timings_(timings),
      startThread_(startThread ? startThread : createThread)
{
    echo_ = s.echo;
    lowLatency_ = s.lowLatency;
    if (s.network)
        network_ = std::make_unique<NetworkUserSide>(*s.network, timings_.network, wake_.get(), clPort_, clBaudCode_,
                                                     [this](std::string line) {
                                                         // Client and rate events belong to the record too.
                                                         recordEvent(line);
                                                         addLine(std::move(line));
                                                     });
}

BridgeConnection::~BridgeConnection()
{
    // A thread still running here would outlive the ports it uses.
    if (thread_)
        stopTransfer();
}

int BridgeConnection::openClPort()
{
    return clPort_.open(static_cast<uint32_t>(clPortIndex_), static_cast<uint32_t>(clBaudCode_));
}

int BridgeConnection::openComPort()
{
    if (network_)
        return network_->open();
    return comPort_.open(devicePath_.c_str(), baudRate_, parity_, dataBits_, stopBits_);
}

int BridgeConnection::startTransfer(TraceSink* traceList)
{
    // The event the low-latency mode waits on could not be made: no transfer can start.
    if (!wake_)
        return statusFromWindowsError(ERROR_NOT_ENOUGH_MEMORY);
    run_ = true;
    traceList_ = traceList;
    thread_.reset(startThread_(transferThreadProc, this, &threadId_));
    if (thread_)
        return 0;
    const DWORD error = GetLastError();
    run_ = false;
    threadId_ = 0;
    // A failed start still fails the connect when Windows names no reason.
    const int status = statusFromWindowsError(error);
    return status != 0 ? status : statusFromWindowsError(ERROR_NOT_ENOUGH_MEMORY);
}

void BridgeConnection::setLowLatency(bool on)
{
    if (lowLatency_.exchange(on) != on)
        SetEvent(wake_.get());
}

void BridgeConnection::stopTransfer()
{
    run_ = false;
    SetEvent(wake_.get());
    if (network_)
        network_->interrupt();
    {
        CriticalSectionLock lock(portLock_);
        clPort_.close();
        if (network_)
            network_->close();
        else
            comPort_.close();
    }
    // The thread has left the port lock and only returns now. Waiting for it keeps a
    // thread of this connection from ever running on into the next connection's ports.
    if (thread_) {
        WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
}

bool BridgeConnection::waitForTransferEnd(DWORD timeoutMs) const
{
    return !thread_ || WaitForSingleObject(thread_.get(), timeoutMs) == WAIT_OBJECT_0;
}

void BridgeConnection::addLine(std::string line)
{
    if (TraceSink* sink = traceList_.load())
        sink->addLine(std::move(line));
}

void BridgeConnection::recordBlock(bool toCamera, const uint8_t* bytes, uint32_t count)
{
    if (TrafficRecorder* recorder = recorder_.load())
        recorder->recordBlock(toCamera, network_ ? network_->clientAddress() : std::string("COM"), bytes, count);
}

void BridgeConnection::recordEvent(std::string text)
{
    if (TrafficRecorder* recorder = recorder_.load())
        recorder->recordEvent(std::move(text));
}

std::string BridgeConnection::networkClient() const
{
    return network_ ? network_->clientAddress() : std::string();
}

} // namespace clser
