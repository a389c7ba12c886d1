#include "low_latency_transfer.h"

#include "low_latency_timing.h"
#include "precise_timer.h"
#include "windows_error_status.h"

#include <atomic>
#include <chrono>
#include <memory>

namespace clser {
namespace {

using Clock = std::chrono::steady_clock;

int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

uint32_t msSince(int64_t then)
{
    const int64_t ms = nowMs() - then;
    return ms < 0 ? 0 : ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<uint32_t>(ms);
}

class LowLatencyTransfer {
public:
    LowLatencyTransfer(TransferLink& link, TransferSteps& steps)
        : link_(link),
          steps_(steps),
          timings_(link.timings.lowLatency),
          comBuffer_(std::make_unique<uint8_t[]>(kTransferBlockSize)),
          cameraBuffer_(std::make_unique<uint8_t[]>(kTransferBlockSize))
    {
    }

    bool run(int& status)
    {
        // A wake-up meant for an earlier run of the mode is spent; the flags say the rest.
        link_.signals.wake.reset();
        if (!stillOn())
            return true;
        const bool ok = runBothDirections(status);
        // Left for another reason than a stop (the mode was switched off): the wake-up is
        // spent, so that the default mode's reads wait their time again.
        if (link_.running())
            link_.signals.wake.reset();
        return ok;
    }

private:
    bool stillOn() const { return link_.running() && link_.signals.lowLatency && !leave_; }

    bool runBothDirections(int& status)
    {
        UniqueHandle cameraThread;
        DWORD id = 0;
        if (cameraWake_)
            cameraThread.reset(link_.startThread(cameraThreadProc, this, &id));
        if (!cameraThread) {
            status = statusFromWindowsError(GetLastError());
            if (status == 0)
                status = statusFromWindowsError(ERROR_NOT_ENOUGH_MEMORY);
            return steps_.endWith(TransferFailure::cameraReaderStart, status);
        }
        // The grabber holds only a few milliseconds of what the camera sends at the
        // highest rates: its reader must run when it is due, even while other programs
        // keep the processors busy.
        SetThreadPriority(cameraThread.get(), THREAD_PRIORITY_HIGHEST);
        bool ok = comToCameraLink(status);
        leave_ = true;
        cameraWake_.set();
        WaitForSingleObject(cameraThread.get(), INFINITE);
        if (!cameraOk_) {
            status = cameraStatus_;
            ok = false;
        }
        return ok;
    }

    // COM to Camera Link, on the transfer thread: each block as soon as it arrives.
    bool comToCameraLink(int& status)
    {
        while (stillOn()) {
            uint32_t n = 0;
            status = link_.user.readArrived(comBuffer_.get(), kTransferBlockSize, n, link_.signals.wake.get());
            if (status != 0)
                return steps_.endWith(TransferFailure::userRead, status);
            if (n == 0) {
                // Woken: the event is reset before the flags are read again, so a stop
                // that comes meanwhile sets it anew and is not missed.
                link_.signals.wake.reset();
                continue;
            }
            steps_.noteBlock(true, comBuffer_.get(), n);
            if (!steps_.writeToCamera(comBuffer_.get(), n, status))
                return false;
            // The answer is awaited from now on: quick polls, starting at once.
            lastTrafficMs_ = nowMs();
            cameraWake_.set();
        }
        return true;
    }

    static DWORD WINAPI cameraThreadProc(void* self)
    {
        static_cast<LowLatencyTransfer*>(self)->cameraLinkToCom();
        return 0;
    }

    // Camera Link to COM, on the second thread: polls that return at once, paced.
    void cameraLinkToCom()
    {
        PreciseTimer timer(*link_.timerSystem);
        if (!timer.valid()) {
            fail(statusFromWindowsError(GetLastError()));
            return;
        }
        const HANDLE waits[] = {link_.signals.wake.get(), cameraWake_.get(), timer.handle()};
        while (stillOn()) {
            uint32_t count = kTransferBlockSize;
            const int status = link_.camera.read(cameraBuffer_.get(), count, 0);
            if (status != 0) {
                // A failed read costs this poll only.
                link_.report.addLine(failureLine(TransferFailure::cameraRead, status, link_.camera.errorText(status)));
                count = 0;
            }
            if (count > 0) {
                lastTrafficMs_ = nowMs();
                steps_.noteBlock(false, cameraBuffer_.get(), count);
                int writeStatus = 0;
                if (!steps_.writeToUser(cameraBuffer_.get(), count, writeStatus)) {
                    cameraStatus_ = writeStatus;
                    cameraOk_ = false;
                    leave_ = true;
                    link_.signals.wake.set();
                    return;
                }
                // A whole block: more may be waiting, read again at once.
                if (count == kTransferBlockSize)
                    continue;
            }
            if (!timer.arm(cameraPollIntervalMs(timings_, msSince(lastTrafficMs_)))) {
                fail(statusFromWindowsError(GetLastError()));
                return;
            }
            WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        }
    }

    // A failure of the second thread: the transfer ends with its line and the flag.
    void fail(int status)
    {
        cameraStatus_ = status != 0 ? status : statusFromWindowsError(ERROR_NOT_ENOUGH_MEMORY);
        steps_.endWith(TransferFailure::cameraReaderStart, cameraStatus_);
        cameraOk_ = false;
        leave_ = true;
        link_.signals.wake.set();
    }

    TransferLink& link_;
    TransferSteps& steps_;
    const LowLatencyTimings& timings_;
    std::unique_ptr<uint8_t[]> comBuffer_;
    std::unique_ptr<uint8_t[]> cameraBuffer_;
    UniqueEvent cameraWake_{UniqueEvent::Reset::automatic};
    // Set when either direction ends the mode's run.
    std::atomic<bool> leave_{false};
    std::atomic<int64_t> lastTrafficMs_{nowMs()};
    // What the second thread ended with.
    std::atomic<bool> cameraOk_{true};
    std::atomic<int> cameraStatus_{0};
};

} // namespace

bool runLowLatencyTransfer(TransferLink& link, TransferSteps& steps, int& status)
{
    LowLatencyTransfer transfer(link, steps);
    return transfer.run(status);
}

} // namespace clser
