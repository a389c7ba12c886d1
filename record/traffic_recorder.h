// The traffic record of a connection: the transfer threads hand each moved block and
// each event to it, and its own writer thread turns them into lines of the record file.
// Handing over never waits for the disk: the records wait in a bounded queue, and what
// does not fit is counted and named by the next record that does. The writer takes what
// waits once a second (earlier when the queue fills up) and hands it to the disk, rolls
// the file over at its bound, and stops with one reported line when the file cannot be
// written (a full disk); the bridge goes on.
#pragma once

#include "critical_section.h"
#include "record_file.h"
#include "traffic_record_line.h"
#include "unique_event.h"
#include "unique_handle.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace clser {

inline constexpr size_t kDefaultRecordQueueBytes = 4u << 20;

class TrafficRecorder {
public:
    // versionLine and connectionLine begin the record and every file after a rollover. report
    // hands a line to the trace list (from the writer thread, without waiting).
    // queueBytes bounds what waits for the writer.
    TrafficRecorder(std::unique_ptr<RecordSink> sink, uint64_t limitBytes, std::string versionLine,
                    std::string connectionLine, std::function<void(std::string)> report,
                    size_t queueBytes = kDefaultRecordQueueBytes, DWORD flushIntervalMs = 1000);
    // Records the end, writes everything queued and ends the writer.
    ~TrafficRecorder();
    TrafficRecorder(const TrafficRecorder&) = delete;
    TrafficRecorder& operator=(const TrafficRecorder&) = delete;

    // False when the writer thread could not start (nothing is recorded then).
    bool started() const { return thread_.valid(); }

    // Any thread; never waits for the disk.
    void recordBlock(bool toCamera, const std::string& userSide, const uint8_t* bytes, uint32_t count);
    void recordEvent(std::string text);
    // The connection as the first lines of every later file (after a rollover) name it.
    void setConnectionLine(std::string line);

    const std::string& name() const { return name_; }
    // True once writing failed: nothing more is recorded.
    bool stopped() const { return stopped_; }

private:
    struct Record {
        uint64_t systemTime = 0;  // as a FILETIME holds it
        bool block = false;
        std::string direction;  // blocks
        std::string data;       // the bytes of a block, or the text of an event
        uint64_t notRecorded = 0;
    };

    bool push(Record record, size_t bound, uint32_t lostBytes);
    static DWORD WINAPI writerThreadProc(void* self);
    void runWriter();
    void writeLine(const std::string& line);
    void writePending();
    void fail(DWORD error);

    std::unique_ptr<RecordSink> sink_;
    const std::string name_;
    const uint64_t limitBytes_;
    const std::function<void(std::string)> report_;
    const size_t queueBytes_;
    const DWORD flushIntervalMs_;

    CriticalSection lock_;
    // Under lock_.
    std::deque<Record> queue_;
    size_t queuedBytes_ = 0;
    uint64_t notRecorded_ = 0;
    std::vector<std::string> header_;
    bool ending_ = false;

    // The writer thread's own.
    std::string pending_;
    bool unflushed_ = false;

    std::atomic<bool> stopped_{false};
    UniqueEvent wake_;
    UniqueHandle thread_;
};

} // namespace clser
