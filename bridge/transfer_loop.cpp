#include "transfer_loop.h"

#include "low_latency_transfer.h"
#include "transfer_steps.h"

#include <memory>

namespace clser {
namespace {

// One run of the transfer thread: the passes over both directions, with what the
// thread keeps from pass to pass.
class TransferLoop {
public:
    explicit TransferLoop(TransferLink& link)
        : link_(link), t_(link.timings), steps_(link), buffer_(std::make_unique<uint8_t[]>(kTransferBufferSize))
    {
    }

    DWORD run()
    {
        link_.signals.connectionError = false;
        while (link_.running()) {
            // The mode is taken once per pass, so a change reaches a running connection.
            if (link_.signals.lowLatency) {
                if (!runLowLatencyTransfer(link_, steps_, status_))
                    break;
                cameraSent_ = false;
                continue;
            }
            if (!userToCamera())
                break;
            if (!cameraToUser())
                break;
        }
        return static_cast<DWORD>(status_);
    }

private:
    // User side to camera: one read of at most a block, written to the camera.
    bool userToCamera()
    {
        const uint32_t timeout = cameraSent_ ? t_.comReadWhileCameraSendsMs : t_.comReadTimeoutMs;
        uint32_t n = 0;
        status_ = link_.user.read(buffer_.get(), kTransferBlockSize, n, timeout);
        if (status_ != 0)
            return steps_.endWith(TransferFailure::userRead, status_);
        if (n == 0)
            return true;
        steps_.noteBlock(true, buffer_.get(), n);
        return steps_.writeToCamera(buffer_.get(), n, status_);
    }

    // Camera to user side, until a read delivers nothing. Every read asks for a whole
    // block; the first waits 10 ms and the later ones take what has come. A step that
    // delivered bytes shortens the next user-side read, so that a camera that is still
    // sending is read again soon. A stop request ends the step between reads, so a
    // camera that keeps sending cannot hold the stop up.
    bool cameraToUser()
    {
        cameraSent_ = false;
        for (bool first = true;; first = false) {
            if (!first && !link_.running())
                return true;
            uint32_t count = kTransferBlockSize;
            status_ = link_.camera.read(buffer_.get(), count, first ? t_.firstClReadTimeoutMs : 0);
            if (status_ != 0) {
                // A failed read costs this step only; the next pass begins.
                link_.report.addLine(
                    failureLine(TransferFailure::cameraRead, status_, link_.camera.errorText(status_)));
                return true;
            }
            if (count == 0)
                return true;
            cameraSent_ = true;
            steps_.noteBlock(false, buffer_.get(), count);
            if (!steps_.writeToUser(buffer_.get(), count, status_))
                return false;
        }
    }

    TransferLink& link_;
    const TransferTimings& t_;
    TransferSteps steps_;
    std::unique_ptr<uint8_t[]> buffer_;
    int status_ = 0;
    // The last camera-to-user step delivered bytes.
    bool cameraSent_ = false;
};

} // namespace

DWORD runTransfer(TransferLink& link)
{
    TransferLoop loop(link);
    return loop.run();
}

} // namespace clser
