#include "traffic_recorder.h"

#include "critical_section.h"
#include "traffic_record_line.h"
#include "unique_event.h"

#include <atomic>
#include <deque>
#include <utility>
#include <vector>

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

class TrafficRecorder::Writer {
public:
    Writer(std::string name, SinkOpener open, uint64_t limitBytes, std::string versionLine,
           std::string connectionLine, std::function<void(std::string)> report, size_t queueBytes,
           DWORD flushIntervalMs)
        : name_(std::move(name)),
          open_(std::move(open)),
          limitBytes_(limitBytes),
          report_(std::move(report)),
          queueBytes_(queueBytes),
          flushIntervalMs_(flushIntervalMs),
          header_{std::move(versionLine), std::move(connectionLine)},
          rollAt_(limitBytes),
          wake_(UniqueEvent::Reset::automatic)
    {
    }

    bool canStart() const { return wake_.valid(); }
    const std::string& name() const { return name_; }
    bool stopped() const { return stopped_; }

    void recordBlock(bool toCamera, const std::string& userSide, const uint8_t* bytes, uint32_t count)
    {
        if (stopped_)
            return;
        Record r{now(), true, recordDirection(toCamera, userSide),
                 std::string(reinterpret_cast<const char*>(bytes), count)};
        push(std::move(r), queueBytes_, count, 0);
    }

    void recordEvent(std::string text)
    {
        if (stopped_)
            return;
        push(Record{now(), false, {}, std::move(text)}, queueBytes_ + kEventReserve, 0, 1);
    }

    void setConnectionLine(std::string line)
    {
        CriticalSectionLock lock(lock_);
        header_.back() = std::move(line);
    }

    // Queues the end, past any bound, with what was lost before it.
    void end()
    {
        {
            CriticalSectionLock lock(lock_);
            Record last{now(), false, {}, "Recording ends", std::exchange(bytesNotRecorded_, 0),
                        std::exchange(eventsNotRecorded_, 0)};
            queuedBytes_ += kRecordOverhead;
            queue_.push_back(std::move(last));
            ending_ = true;
        }
        wake_.set();
    }

    // The owner goes on without this writer: what it would still report goes nowhere.
    void abandon()
    {
        CriticalSectionLock lock(reportLock_);
        abandoned_ = true;
    }

    void run();

private:
    struct Record {
        uint64_t systemTime = 0;  // as a FILETIME holds it
        bool block = false;
        std::string direction;  // blocks
        std::string data;       // the bytes of a block, or the text of an event
        uint64_t bytesNotRecorded = 0;
        uint64_t eventsNotRecorded = 0;
    };

    void push(Record record, size_t bound, uint32_t lostBytes, uint32_t lostEvents);
    void writeLine(const std::string& line);
    void rollOver();
    void writePending();
    void fail(DWORD error);
    void report(std::string line);
    std::vector<std::string> header();

    const std::string name_;
    const SinkOpener open_;
    const uint64_t limitBytes_;
    const std::function<void(std::string)> report_;
    const size_t queueBytes_;
    const DWORD flushIntervalMs_;

    CriticalSection lock_;
    // Under lock_.
    std::deque<Record> queue_;
    size_t queuedBytes_ = 0;
    uint64_t bytesNotRecorded_ = 0;
    uint64_t eventsNotRecorded_ = 0;
    std::vector<std::string> header_;
    bool ending_ = false;

    CriticalSection reportLock_;
    bool abandoned_ = false;  // under reportLock_

    // The writer thread's own.
    std::unique_ptr<RecordSink> sink_;
    std::string pending_;
    bool unflushed_ = false;
    // The size past which the file rolls over; a bound further on after a rename failed.
    uint64_t rollAt_;
    bool renameFailureSaid_ = false;

    std::atomic<bool> stopped_{false};
    UniqueEvent wake_;
};

void TrafficRecorder::Writer::push(Record record, size_t bound, uint32_t lostBytes, uint32_t lostEvents)
{
    const size_t cost = record.data.size() + record.direction.size() + kRecordOverhead;
    bool wakeWriter = false;
    {
        CriticalSectionLock lock(lock_);
        if (ending_)
            return;
        if (queuedBytes_ + cost > bound) {
            bytesNotRecorded_ += lostBytes;
            eventsNotRecorded_ += lostEvents;
            return;
        }
        record.bytesNotRecorded = std::exchange(bytesNotRecorded_, 0);
        record.eventsNotRecorded = std::exchange(eventsNotRecorded_, 0);
        const size_t wakeAt = queueBytes_ / kWakeShare;
        wakeWriter = queuedBytes_ < wakeAt && queuedBytes_ + cost >= wakeAt;
        queuedBytes_ += cost;
        queue_.push_back(std::move(record));
    }
    // The writer takes the queue on its own once a flush interval; it is woken early only
    // when the queue fills up, so that a round trip never pays for waking it.
    if (wakeWriter)
        wake_.set();
}

std::vector<std::string> TrafficRecorder::Writer::header()
{
    CriticalSectionLock lock(lock_);
    return header_;
}

void TrafficRecorder::Writer::run()
{
    if (const DWORD error = open_(sink_)) {
        stopped_ = true;
        report("Cannot record to \"" + name_ + "\": " + windowsErrorText(error) +
               "; the connection runs without a record");
    }
    const RecordTime start = localTime(now());
    for (const std::string& line : header())
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
                                                r.data.size(), r.bytesNotRecorded, r.eventsNotRecorded)
                              : eventRecordLine(time, r.data, r.bytesNotRecorded, r.eventsNotRecorded));
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

void TrafficRecorder::Writer::writeLine(const std::string& line)
{
    if (stopped_)
        return;
    const uint64_t lineSize = line.size() + 2;
    if (sink_->size() + pending_.size() + lineSize > rollAt_ && sink_->size() + pending_.size() > 0) {
        writePending();
        rollOver();
        if (stopped_)
            return;
    }
    pending_ += line;
    pending_ += "\r\n";
    if (pending_.size() >= kWritePiece)
        writePending();
}

void TrafficRecorder::Writer::rollOver()
{
    if (stopped_)
        return;
    DWORD renameError = 0;
    if (const DWORD error = sink_->rollOver(renameError)) {
        fail(error);
        return;
    }
    const RecordTime begun = localTime(now());
    if (renameError) {
        // The file goes on as it is; the next try comes a bound further on.
        rollAt_ = sink_->size() + limitBytes_;
        if (!std::exchange(renameFailureSaid_, true)) {
            const std::string said = "Recording to \"" + name_ + "\" goes on in the same file: renaming it to \"" +
                                     name_ + ".1\" failed (" + windowsErrorText(renameError) + ")";
            report(said);
            pending_ += eventRecordLine(begun, said, 0) + "\r\n";
        }
        return;
    }
    rollAt_ = limitBytes_;
    renameFailureSaid_ = false;
    for (const std::string& h : header())
        pending_ += eventRecordLine(begun, h, 0) + "\r\n";
}

void TrafficRecorder::Writer::writePending()
{
    if (pending_.empty() || stopped_)
        return;
    const DWORD error = sink_->append(pending_);
    pending_.clear();
    unflushed_ = true;
    if (error)
        fail(error);
}

void TrafficRecorder::Writer::fail(DWORD error)
{
    stopped_ = true;
    pending_.clear();
    report("Recording to \"" + name_ + "\" stopped: " + windowsErrorText(error));
}

void TrafficRecorder::Writer::report(std::string line)
{
    CriticalSectionLock lock(reportLock_);
    if (report_ && !abandoned_)
        report_(std::move(line));
}

DWORD WINAPI TrafficRecorder::writerThreadProc(void* writer)
{
    // The thread's share of the writer, ended with it.
    const std::unique_ptr<std::shared_ptr<Writer>> own(static_cast<std::shared_ptr<Writer>*>(writer));
    (*own)->run();
    return 0;
}

TrafficRecorder::TrafficRecorder(std::string name, SinkOpener open, uint64_t limitBytes, std::string versionLine,
                                 std::string connectionLine, std::function<void(std::string)> report,
                                 size_t queueBytes, DWORD flushIntervalMs)
    : writer_(std::make_shared<Writer>(std::move(name), std::move(open), limitBytes, std::move(versionLine),
                                       std::move(connectionLine), std::move(report), queueBytes, flushIntervalMs))
{
    if (!writer_->canStart())
        return;
    auto share = std::make_unique<std::shared_ptr<Writer>>(writer_);
    thread_.reset(CreateThread(nullptr, 0, writerThreadProc, share.get(), 0, nullptr));
    if (thread_)
        share.release();
}

TrafficRecorder::~TrafficRecorder()
{
    if (!thread_)
        return;
    writer_->end();
    if (WaitForSingleObject(thread_.get(), kRecordEndWaitMs) == WAIT_OBJECT_0)
        return;
    // Held in a write or an open: a share that stopped answering. Ending the program
    // must not wait for it.
    CancelSynchronousIo(thread_.get());
    if (WaitForSingleObject(thread_.get(), kRecordCancelledWaitMs) != WAIT_OBJECT_0)
        writer_->abandon();
}

void TrafficRecorder::recordBlock(bool toCamera, const std::string& userSide, const uint8_t* bytes, uint32_t count)
{
    writer_->recordBlock(toCamera, userSide, bytes, count);
}

void TrafficRecorder::recordEvent(std::string text) { writer_->recordEvent(std::move(text)); }

void TrafficRecorder::setConnectionLine(std::string line) { writer_->setConnectionLine(std::move(line)); }

const std::string& TrafficRecorder::name() const { return writer_->name(); }

bool TrafficRecorder::stopped() const { return !thread_ || writer_->stopped(); }

} // namespace clser
