// The traffic record of a connection: the transfer threads hand each moved block and
// each event to it, and its own writer thread turns them into lines of the record file.
// Handing over never waits for the disk: the records wait in a bounded queue, and what
// does not fit is counted and named by the next record that does. The writer opens the
// file (so that a share that does not answer never holds the window), takes what waits
// once a second (earlier when the queue fills up) and hands it to the disk, rolls the
// file over at its bound, and stops with one reported line when the file cannot be
// written (a full disk); the bridge goes on.
#pragma once

#include "record_file.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace clser {

inline constexpr size_t kDefaultRecordQueueBytes = 4u << 20;
// How long the end waits for a writer held in a write, before and after cancelling it.
inline constexpr DWORD kRecordEndWaitMs = 5000;
inline constexpr DWORD kRecordCancelledWaitMs = 1000;

class TrafficRecorder {
public:
    // Opens the record's sink: 0 with sink set, or the Windows error.
    using SinkOpener = std::function<DWORD(std::unique_ptr<RecordSink>& sink)>;

    // name: the record as reports name it (its path). open runs on the writer thread; an
    // open that fails is reported and nothing is recorded. versionLine and connectionLine
    // begin the record and every file after a rollover. report hands a line to the trace
    // list (from the writer thread, without waiting). queueBytes bounds what waits for
    // the writer.
    TrafficRecorder(std::string name, SinkOpener open, uint64_t limitBytes, std::string versionLine,
                    std::string connectionLine, std::function<void(std::string)> report,
                    size_t queueBytes = kDefaultRecordQueueBytes, DWORD flushIntervalMs = 1000);
    // Records the end and lets the writer write everything queued. A writer held in a
    // write (a share that stopped answering) has its write cancelled after
    // kRecordEndWaitMs; one still held kRecordCancelledWaitMs later is left to end on its
    // own, reporting nothing more.
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

    const std::string& name() const;
    // True once the open or a write failed: nothing more is recorded.
    bool stopped() const;

private:
    // What the writer thread works on; it holds a share of it, so that a writer left to
    // end on its own never outlives it.
    class Writer;
    static DWORD WINAPI writerThreadProc(void* writer);

    std::shared_ptr<Writer> writer_;
    UniqueHandle thread_;
};

} // namespace clser
