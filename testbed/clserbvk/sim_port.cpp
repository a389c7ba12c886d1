#include "sim_port.h"

#include "cl_serial_api.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace clser::sim {

namespace {

bool isNth(uint32_t counter, uint32_t every)
{
    return every != 0 && counter % every == 0;
}

} // namespace

TimePoint readDeadline(TimePoint start, uint32_t timeoutMs, bool tickGranular)
{
    const TimePoint requested = start + std::chrono::milliseconds(timeoutMs);
    if (!tickGranular || timeoutMs == 0)
        return requested;
    const auto boundary = std::chrono::ceil<SystemTick>(requested.time_since_epoch());
    return TimePoint(std::chrono::duration_cast<Clock::duration>(boundary));
}

void SimPort::open(PortSession& session)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (openSessions_++ == 0) {
        camera_.resetLine();
        camera_.setBitsPerSecond(bitsPerSecondOfBaudConstant(CL_BAUDRATE_9600));
        std::lock_guard<std::mutex> overlapGuard(overlapLock_);
        overlaps_ = 0;
        writeOverlapLog();
    }
    session = PortSession{};
}

PortTotals SimPort::close(PortSession& session)
{
    PortTotals totals;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (session.closed)
            return totals;
        session.closed = true;
        if (--openSessions_ == 0) {
            totals.droppedBytes = camera_.dropped(Clock::now());
            std::lock_guard<std::mutex> overlapGuard(overlapLock_);
            totals.overlappingCalls = overlaps_;
        }
    }
    changed_.notify_all();
    return totals;
}

void SimPort::countOverlap()
{
    std::lock_guard<std::mutex> guard(overlapLock_);
    ++overlaps_;
    writeOverlapLog();
}

void SimPort::writeOverlapLog()
{
    if (!config().overlapLog.empty())
        std::ofstream(config().overlapLog, std::ios::binary | std::ios::trunc) << overlaps_;
}

int32_t SimPort::setBaudRate(PortSession& session, uint32_t constant)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (session.closed)
        return CL_ERR_INVALID_REFERENCE;
    uint32_t bitsPerSecond = bitsPerSecondOfBaudConstant(constant);
    if (bitsPerSecond == 0 || (config().baudRates & constant) == 0)
        return CL_ERR_BAUD_RATE_NOT_SUPPORTED;
    camera_.setBitsPerSecond(bitsPerSecond);
    if (!config().rateLog.empty())
        std::ofstream(config().rateLog, std::ios::binary | std::ios::trunc) << bitsPerSecond;
    return CL_ERR_NO_ERR;
}

int32_t SimPort::read(PortSession& session, int8_t* buffer, uint32_t* count, uint32_t timeoutMs)
{
    if (!count || (!buffer && *count > 0))
        return CL_ERR_BUFFER_TOO_SMALL;
    const size_t wanted = *count;
    const TimePoint deadline = readDeadline(Clock::now(), timeoutMs, config().tickTimeouts);

    std::unique_lock<std::mutex> guard(lock_);
    if (session.closed)
        return CL_ERR_INVALID_REFERENCE;
    if (isNth(++session.reads, config().faults.readErrorEvery)) {
        *count = 0;
        return config().faults.readErrorCode;
    }
    // A waiting read takes the bytes as they arrive, as a driver copies them into the
    // caller's buffer, so they do not fill the receive buffer meanwhile.
    std::string got;
    for (;;) {
        TimePoint now = Clock::now();
        got += camera_.take(wanted - got.size(), now);
        if (got.size() == wanted || now >= deadline) {
            if (!got.empty())
                std::memcpy(buffer, got.data(), got.size());
            *count = static_cast<uint32_t>(got.size());
            return got.size() == wanted ? CL_ERR_NO_ERR : CL_ERR_TIMEOUT;
        }
        // Sleep until a write, a close, the next byte on its way or the time-out.
        TimePoint wake = std::min(deadline, camera_.nextArrival(now).value_or(deadline));
        changed_.wait_until(guard, wake);
        if (session.closed) {
            *count = 0;
            return CL_ERR_INVALID_REFERENCE;
        }
    }
}

int32_t SimPort::write(PortSession& session, const int8_t* buffer, uint32_t* count, uint32_t timeoutMs)
{
    if (!count || (!buffer && *count > 0))
        return CL_ERR_BUFFER_TOO_SMALL;
    const TimePoint deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);

    std::unique_lock<std::mutex> guard(lock_);
    if (session.closed)
        return CL_ERR_INVALID_REFERENCE;
    const PortFaults& faults = config().faults;
    ++session.writes;
    if (isNth(session.writes, faults.writeErrorEvery)) {
        // A stalled line keeps the caller for the whole time-out before it gives up.
        if (faults.writeErrorCode == CL_ERR_TIMEOUT)
            changed_.wait_until(guard, deadline, [&] { return session.closed; });
        *count = 0;
        return session.closed ? CL_ERR_INVALID_REFERENCE : faults.writeErrorCode;
    }
    uint32_t accepted = *count;
    if (isNth(session.writes, faults.shortWriteEvery))
        accepted = std::min(accepted, faults.shortWriteBytes ? faults.shortWriteBytes : accepted / 2);

    camera_.receive(std::string_view(reinterpret_cast<const char*>(buffer), accepted), Clock::now());
    *count = accepted;
    guard.unlock();
    changed_.notify_all();
    return CL_ERR_NO_ERR;
}

} // namespace clser::sim
