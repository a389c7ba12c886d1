#include "traffic_recorder.h"

#include <utility>

namespace clser {
namespace {

// What a record costs in the queue beyond its bytes.
constexpr size_t kRecordOverhead = 64;
// Events still go in this far past the bound, so that a connect or an error line is not
// lost to a burst of blocks.
constexpr size_t kEventReserve = 64 * 1024;
// The writer is woken early once the queue holds this share of its bound.
constexpr size_t kWakeShare = 4;
// The writer hands lines to the sink in pieces of about this size.
constexpr size_t kWritePiece = 64 * 1024;

// The moment a record is handed over: the system time only, which costs the transfer
// less than the local time; the writer turns it into local time.
uint64_t now()
{
    FILETIME t;
    GetSystemTimeAsFileTime(&t);
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

RecordTime localTime(uint64_t systemTime)
{
    const FILETIME utc{static_cast<DWORD>(systemTime), static_cast<DWORD>(systemTime >> 32)};
    FILETIME local{};
    SYSTEMTIME t{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t))
        GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

} // namespace

TrafficRecorder::TrafficRecorder(std::unique_ptr<RecordSink> sink, uint64_t limitBytes, std::string versionLine,
                                 std::string connectionLine, std::function<void(std::string)> report,
                                 size_t queueBytes, DWORD flushIntervalMs)
    : sink_(std::move(sink)),
      name_(sink_->name()),
      limitBytes_(limitBytes),
      report_(std::move(report)),
      queueBytes_(queueBytes),
      flushIntervalMs_(flushIntervalMs),
      header_{std::move(versionLine), std::move(connectionLine)},
      wake_(UniqueEvent::Reset::automatic)
{
    if (wake_)
        thread_.reset(CreateThread(nullptr, 0, writerThreadProc, this, 0, nullptr));
    if (!thread_)
        stopped_ = true;
}

TrafficRecorder::~TrafficRecorder()
{
    if (!thread_)
        return;
    {
        CriticalSectionLock lock(lock_);
        Record end{now(), false, {}, "Recording ends", std::exchange(notRecorded_, 0)};
        queuedBytes_ += kRecordOverhead;
        queue_.push_back(std::move(end));
        ending_ = true;
    }
    wake_.set();
    WaitForSingleObject(thread_.get(), INFINITE);
}

void TrafficRecorder::recordBlock(bool toCamera, const std::string& userSide, const uint8_t* bytes, uint32_t count)
{
    if (stopped_)
        return;
    Record r{now(), true, recordDirection(toCamera, userSide),
             std::string(reinterpret_cast<const char*>(bytes), count), 0};
    push(std::move(r), queueBytes_, count);
}

void TrafficRecorder::recordEvent(std::string text)
{
    if (stopped_)
        return;
    push(Record{now(), false, {}, std::move(text), 0}, queueBytes_ + kEventReserve, 0);
}

bool TrafficRecorder::push(Record record, size_t bound, uint32_t lostBytes)
{
    const size_t cost = record.data.size() + record.direction.size() + kRecordOverhead;
    bool wakeWriter = false;
    {
        CriticalSectionLock lock(lock_);
        if (ending_)
            return false;
        if (queuedBytes_ + cost > bound) {
            notRecorded_ += lostBytes;
            return false;
        }
        record.notRecorded = std::exchange(notRecorded_, 0);
        const size_t wakeAt = queueBytes_ / kWakeShare;
        wakeWriter = queuedBytes_ < wakeAt && queuedBytes_ + cost >= wakeAt;
        queuedBytes_ += cost;
        queue_.push_back(std::move(record));
    }
    // The writer takes the queue on its own once a flush interval; it is woken early only
    // when the queue fills up, so that a round trip never pays for waking it.
    if (wakeWriter)
        wake_.set();
    return true;
}

void TrafficRecorder::setConnectionLine(std::string line)
{
    CriticalSectionLock lock(lock_);
    header_.back() = std::move(line);
}

DWORD WINAPI TrafficRecorder::writerThreadProc(void* self)
{
    static_cast<TrafficRecorder*>(self)->runWriter();
    return 0;
}

void TrafficRecorder::runWriter()
{
    std::vector<std::string> header;
    {
        CriticalSectionLock lock(lock_);
        header = header_;
    }
    const RecordTime start = localTime(now());
    for (const std::string& line : header)
        writeLine(eventRecordLine(start, line, 0));
    writePending();

    DWORD lastFlush = GetTickCount();
    for (;;) {
        const DWORD waited = WaitForSingleObject(wake_.get(), flushIntervalMs_);
        std::deque<Record> batch;
        bool ending = false;
        {
            CriticalSectionLock lock(lock_);
            batch.swap(queue_);
            queuedBytes_ = 0;
            ending = ending_;
        }
        for (const Record& r : batch) {
            if (stopped_)
                break;
            const RecordTime time = localTime(r.systemTime);
            writeLine(r.block ? blockRecordLine(time, r.direction, reinterpret_cast<const uint8_t*>(r.data.data()),
                                                r.data.size(), r.notRecorded)
                              : eventRecordLine(time, r.data, r.notRecorded));
        }
        writePending();
        if (!stopped_ && unflushed_ &&
            (ending || waited == WAIT_TIMEOUT || GetTickCount() - lastFlush >= flushIntervalMs_)) {
            if (const DWORD error = sink_->flush())
                fail(error);
            unflushed_ = false;
            lastFlush = GetTickCount();
        }
        if (ending) {
            CriticalSectionLock lock(lock_);
            if (queue_.empty())
                return;
        }
    }
}

void TrafficRecorder::writeLine(const std::string& line)
{
    if (stopped_)
        return;
    const uint64_t lineSize = line.size() + 2;
    if (sink_->size() + pending_.size() + lineSize > limitBytes_ && sink_->size() + pending_.size() > 0) {
        writePending();
        if (stopped_)
            return;
        if (const DWORD error = sink_->rollOver()) {
            fail(error);
            return;
        }
        std::vector<std::string> header;
        {
            CriticalSectionLock lock(lock_);
            header = header_;
        }
        const RecordTime begun = localTime(now());
        for (const std::string& h : header)
            pending_ += eventRecordLine(begun, h, 0) + "\r\n";
    }
    pending_ += line;
    pending_ += "\r\n";
    if (pending_.size() >= kWritePiece)
        writePending();
}

void TrafficRecorder::writePending()
{
    if (pending_.empty() || stopped_)
        return;
    const DWORD error = sink_->append(pending_);
    pending_.clear();
    unflushed_ = true;
    if (error)
        fail(error);
}

void TrafficRecorder::fail(DWORD error)
{
    stopped_ = true;
    pending_.clear();
    if (report_)
        report_("Recording to \"" + name_ + "\" stopped: " + windowsErrorText(error));
}

} // namespace clser
