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
    LowLatencyTransfer(BridgeConnection& connection, TransferSteps& steps)
        : c_(connection),
          steps_(steps),
          timings_(connection.timings().lowLatency),
          comBuffer_(std::make_unique<uint8_t[]>(kTransferBlockSize)),
          cameraBuffer_(std::make_unique<uint8_t[]>(kTransferBlockSize))
    {
    }

    bool run(int& status)
    {
        // A wake-up meant for an earlier run of the mode is spent; the flags say the rest.
        ResetEvent(c_.wakeEvent());
        if (!stillOn())
            return true;
        status = c_.userSide().enterArrivedReads();
        if (status != 0)
            return steps_.endWith(withStatus("Error while reading from COM interface   error code: %d", status));
        bool ok = runBothDirections(status);
        // Left for another reason than a stop (the mode was switched off): the wake-up is
        // spent, so that the default mode's reads wait their time again.
        if (c_.running())
            ResetEvent(c_.wakeEvent());
        // The port's own read time-outs come back for the default mode.
        const int restored = c_.userSide().leaveArrivedReads();
        if (ok && restored != 0) {
            status = restored;
            ok = steps_.endWith(withStatus("Error while reading from COM interface   error code: %d", status));
        }
        return ok;
    }

private:
    bool stillOn() const { return c_.running() && c_.lowLatency() && !leave_; }

    bool runBothDirections(int& status)
    {
        cameraWake_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        UniqueHandle cameraThread;
        DWORD id = 0;
        if (cameraWake_)
            cameraThread.reset(c_.startThread(cameraThreadProc, this, &id));
        if (!cameraThread) {
            status = statusFromWindowsError(GetLastError());
            if (status == 0)
                status = statusFromWindowsError(ERROR_NOT_ENOUGH_MEMORY);
            return steps_.endWith(withStatus("Cannot start the Camera Link reader   error code: %d", status));
        }
        bool ok = comToCameraLink(status);
        leave_ = true;
        SetEvent(cameraWake_.get());
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
            status = c_.userSide().readArrived(comBuffer_.get(), kTransferBlockSize, n, c_.wakeEvent());
            if (status != 0)
                return steps_.endWith(withStatus("Error while reading from COM interface   error code: %d", status));
            if (n == 0) {
                // Woken: the event is reset before the flags are read again, so a stop
                // that comes meanwhile sets it anew and is not missed.
                ResetEvent(c_.wakeEvent());
                continue;
            }
            c_.recordBlock(true, comBuffer_.get(), n);
            if (c_.echo())
                steps_.addTracedBlock("To ClSer:", comBuffer_.get(), n);
            uint32_t written = 0;
            status = c_.clPort().write(comBuffer_.get(), n, written);
            if (status != 0)
                return steps_.endWith(withStatus("Error writing to clser interface   error code: %d", status));
            // The answer is awaited from now on: quick polls, starting at once.
            lastTrafficMs_ = nowMs();
            SetEvent(cameraWake_.get());
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
        PreciseTimer timer(c_.preciseTimerSystem());
        if (!timer.valid()) {
            fail(statusFromWindowsError(GetLastError()), "Cannot start the Camera Link reader   error code: %d");
            return;
        }
        const HANDLE waits[] = {c_.wakeEvent(), cameraWake_.get(), timer.handle()};
        while (stillOn()) {
            uint32_t count = kTransferBlockSize;
            const int status = c_.clPort().read(cameraBuffer_.get(), count, 0);
            if (status != 0) {
                // A failed read costs this poll only.
                c_.addLine(withStatus("Error reading from clser interface   error code: %d", status));
                count = 0;
            }
            if (count > 0) {
                lastTrafficMs_ = nowMs();
                c_.recordBlock(false, cameraBuffer_.get(), count);
                if (c_.echo())
                    steps_.addTracedBlock("To Com:", cameraBuffer_.get(), count);
                int writeStatus = 0;
                if (!steps_.writeToCom(cameraBuffer_.get(), count, writeStatus)) {
                    cameraStatus_ = writeStatus;
                    cameraOk_ = false;
                    leave_ = true;
                    SetEvent(c_.wakeEvent());
                    return;
                }
                // A whole block: more may be waiting, read again at once.
                if (count == kTransferBlockSize)
                    continue;
            }
            if (!timer.arm(cameraPollIntervalMs(timings_, msSince(lastTrafficMs_)))) {
                fail(statusFromWindowsError(GetLastError()), "Cannot start the Camera Link reader   error code: %d");
                return;
            }
            WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        }
    }

    // A failure of the second thread: the transfer ends with its line and the flag.
    void fail(int status, const char* format)
    {
        cameraStatus_ = status != 0 ? status : statusFromWindowsError(ERROR_NOT_ENOUGH_MEMORY);
        steps_.endWith(withStatus(format, cameraStatus_));
        cameraOk_ = false;
        leave_ = true;
        SetEvent(c_.wakeEvent());
    }

    BridgeConnection& c_;
    TransferSteps& steps_;
    const LowLatencyTimings& timings_;
    std::unique_ptr<uint8_t[]> comBuffer_;
    std::unique_ptr<uint8_t[]> cameraBuffer_;
    UniqueHandle cameraWake_;
    // Set when either direction ends the mode's run.
    std::atomic<bool> leave_{false};
    std::atomic<int64_t> lastTrafficMs_{nowMs()};
    // What the second thread ended with.
    std::atomic<bool> cameraOk_{true};
    std::atomic<int> cameraStatus_{0};
};

} // namespace

bool runLowLatencyTransfer(BridgeConnection& connection, TransferSteps& steps, int& status)
{
    LowLatencyTransfer transfer(connection, steps);
    return transfer.run(status);
}

} // namespace clser
