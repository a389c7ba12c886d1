#include "bridge_connection.h"

#include "baud_rate_choice.h"
#include "transfer_loop.h"
#include "windows_error_status.h"

#include <cstdio>
#include <vector>

namespace clser {

HANDLE startSystemThread(LPTHREAD_START_ROUTINE proc, void* argument, DWORD* threadId)
{
    return CreateThread(nullptr, 0, proc, argument, 0, threadId);
}

BridgeConnection::BridgeConnection(const std::string& devicePath, const ConnectionSettings& s,
                                   const TransferTimings& timings, ThreadStarter startThread)
    : clLibrary_(s.clLibrary),
      clPortIndex_(s.clPortIndex),
      clBaudCode_(s.clBaudCode),
      devicePath_(devicePath),
      line_(s.line),
      timings_(timings),
      network_(s.network ? std::make_unique<NetworkUserSide>(
                               *s.network, timings_.network, signals_.wake.get(),
                               [this](uint32_t bitsPerSecond, std::string& line) {
                                   return onClientRateRequest(bitsPerSecond, line);
                               },
                               [this](std::string line) { addEventLine(std::move(line)); })
                         : nullptr),
      clientRate_(baudRateForClBaudCode(s.clBaudCode)),
      link_{userSide(), clPort_, timings_, signals_, *this, startThread ? startThread : startSystemThread}
{
    signals_.echo = s.echo;
    signals_.lowLatency = s.lowLatency;
}

BridgeConnection::~BridgeConnection()
{
    // A thread still running here would outlive the ports it uses.
    if (thread_)
        stopTransfer();
    // The network endpoint reports the client it drops through this connection's trace
    // and record (the locks, the trace list, the recorder and the rate), which are
    // declared after it and would be gone before it: it closes here, while they exist.
    network_.reset();
}

int BridgeConnection::openClPort()
{
    clPortProblem_.clear();
    const ClSerialLibraryLoad load = loadConnectionLibrary(clLibrary_);
    if (!load.library) {
        clPortProblem_ = libraryLoadLine(clLibrary_, load);
        return load.status;
    }
    const uint32_t code = static_cast<uint32_t>(clBaudCode_);
    const int status = clPort_.open(*load.library, static_cast<uint32_t>(clPortIndex_), code);
    if (status == CL_ERR_BAUD_RATE_NOT_SUPPORTED) {
        const std::optional<uint32_t> rates = clPort_.supportedBaudRates();
        if (rates && !(*rates & code))
            clPortProblem_ = refusedRateLine(cameraLinkPortText(clLibrary_, load.library->manufacturer().value_or(""),
                                                                clPortIndex_),
                                             baudRateForClBaudCode(clBaudCode_), *rates);
    }
    if (status < 0)
        return status;
    // Bytes the camera sent before anybody listened are not the user's.
    clPort_.flush();
    return status;
}

int BridgeConnection::openComPort()
{
    if (network_)
        return network_->open();
    int status = comPort_.open(devicePath_.c_str(), line_);
    if (status < 0)
        return status;
    // Throw away bytes that were already queued in the pair.
    std::vector<uint8_t> stale(4096);
    uint32_t got = 0;
    status = comPort_.read(stale.data(), static_cast<uint32_t>(stale.size()), got, 100);
    return status < 0 ? status : 0;
}

DWORD WINAPI BridgeConnection::transferThreadProc(void* connection)
{
    BridgeConnection& c = *static_cast<BridgeConnection*>(connection);
    CriticalSectionLock portLock(c.portLock_);
    c.recordEvent(c.connectedEvent_);
    return runTransfer(c.link_);
}

int BridgeConnection::startTransfer(TraceSink* traceList)
{
    // The event the low-latency mode waits on could not be made: no transfer can start.
    if (!signals_.wake)
        return statusFromWindowsError(ERROR_NOT_ENOUGH_MEMORY);
    signals_.run = true;
    traceList_ = traceList;
    DWORD threadId = 0;
    thread_.reset(link_.startThread(transferThreadProc, this, &threadId));
    if (thread_)
        return 0;
    const DWORD error = GetLastError();
    signals_.run = false;
    // A failed start still fails the connect when Windows names no reason.
    const int status = statusFromWindowsError(error);
    return status != 0 ? status : statusFromWindowsError(ERROR_NOT_ENOUGH_MEMORY);
}

void BridgeConnection::setLowLatency(bool on)
{
    if (signals_.lowLatency.exchange(on) != on)
        signals_.wake.set();
}

void BridgeConnection::stopTransfer()
{
    signals_.run = false;
    signals_.wake.set();
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

uint32_t BridgeConnection::onClientRateRequest(uint32_t bitsPerSecond, std::string& line)
{
    const uint32_t inForce = clientRate_;
    const uint32_t rate = network::rateAfterRequest(bitsPerSecond, inForce);
    if (rate == inForce)
        return inForce;
    // A rate the library refuses leaves the one in force.
    const int status = clPort_.setBaudRate(static_cast<uint32_t>(clBaudCodeForRate(rate)));
    char text[120];
    if (status < 0) {
        std::snprintf(text, sizeof text, "Camera Link rate %lu refused   error code: %d", static_cast<unsigned long>(rate),
                      status);
        const std::string own = clPort_.errorText(status);
        line = text + (own.empty() ? "" : " (" + own + ")");
        return inForce;
    }
    clientRate_ = rate;
    std::snprintf(text, sizeof text, "Camera Link rate set to %lu by the network client",
                  static_cast<unsigned long>(rate));
    line = text;
    return rate;
}

void BridgeConnection::addLine(std::string line)
{
    CriticalSectionLock lock(traceLock_);
    if (TraceSink* sink = traceList_.load())
        sink->addLine(std::move(line));
}

void BridgeConnection::addEventLine(std::string line)
{
    recordEvent(line);
    addLine(std::move(line));
}

void BridgeConnection::addLinePair(std::string heading, std::string line)
{
    CriticalSectionLock lock(traceLock_);
    if (TraceSink* sink = traceList_.load()) {
        sink->addLine(std::move(heading));
        sink->addLine(std::move(line));
    }
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
