#include "transfer_loop.h"

#include "bridge_connection.h"
#include "low_latency_transfer.h"
#include "transfer_steps.h"

#include <memory>

namespace clser {
namespace {

// One run of the transfer thread: the passes over both directions, with what the
// thread keeps from pass to pass.
class TransferLoop {
public:
    explicit TransferLoop(BridgeConnection& connection)
        : c_(connection), t_(connection.timings()), steps_(connection),
          buffer_(std::make_unique<uint8_t[]>(kTransferBufferSize))
    {
    }

    DWORD run()
    {
        c_.clearConnectionError();
        CriticalSectionLock portLock(c_.portLock());
        while (c_.running()) {
            // The mode is taken once per pass, so a change reaches a running connection.
            if (c_.lowLatency()) {
                if (!runLowLatencyTransfer(c_, steps_, status_))
                    break;
                cameraSent_ = false;
                continue;
            }
            if (!comToCameraLink())
                break;
            if (!cameraLinkToCom())
                break;
        }
        return static_cast<DWORD>(status_);
    }

private:
    // COM to Camera Link: one read of at most a block, written to the camera.
    bool comToCameraLink()
    {
        const uint32_t timeout = cameraSent_ ? t_.comReadWhileCameraSendsMs : t_.comReadTimeoutMs;
        uint32_t n = 0;
        status_ = c_.userSide().read(buffer_.get(), kTransferBlockSize, n, timeout);
        if (status_ != 0)
            return steps_.endWith(withStatus("Error while reading from COM interface   error code: %d", status_));
        if (n == 0)
            return true;
        c_.recordBlock(true, buffer_.get(), n);
        if (c_.echo())
            steps_.addTracedBlock("To ClSer:", buffer_.get(), n);
        uint32_t written = 0;
        status_ = c_.clPort().write(buffer_.get(), n, written);
        if (status_ != 0)
            return steps_.endWith(withStatus("Error writing to clser interface   error code: %d", status_));
        return true;
    }

    // Camera Link to COM, until a read delivers nothing. Every read asks for a whole
    // block; the first waits 10 ms and the later ones take what has come. A step that
    // delivered bytes shortens the next COM read, so that a camera that is still
    // sending is read again soon. A stop request ends the step between reads, so a
    // camera that keeps sending cannot hold the stop up.
    bool cameraLinkToCom()
    {
        cameraSent_ = false;
        for (bool first = true;; first = false) {
            if (!first && !c_.running())
                return true;
            uint32_t count = kTransferBlockSize;
            status_ = c_.clPort().read(buffer_.get(), count, first ? t_.firstClReadTimeoutMs : 0);
            if (status_ != 0) {
                // A failed read costs this step only; the next pass begins.
                c_.addLine(withStatus("Error reading from clser interface   error code: %d", status_));
                return true;
            }
            if (count == 0)
                return true;
            cameraSent_ = true;
            c_.recordBlock(false, buffer_.get(), count);
            if (c_.echo())
                steps_.addTracedBlock("To Com:", buffer_.get(), count);
            if (!steps_.writeToCom(buffer_.get(), count, status_))
                return false;
        }
    }

    BridgeConnection& c_;
    const TransferTimings& t_;
    TransferSteps steps_;
    std::unique_ptr<uint8_t[]> buffer_;
    int status_ = 0;
    // The last Camera Link to COM step delivered bytes.
    bool cameraSent_ = false;
};

} // namespace

DWORD WINAPI transferThreadProc(void* connection)
{
    TransferLoop loop(*static_cast<BridgeConnection*>(connection));
    return loop.run();
}

} // namespace clser
