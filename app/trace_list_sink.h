// Hands the transfer thread's trace lines to the main dialog's list box. The thread
// never waits for the user-interface thread: each line travels in a posted message.
#pragma once

#include "trace_sink.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace clser::app {

// The list keeps this many of the newest lines; older ones make room.
constexpr int kMaxTraceLines = 20000;

// The line that stands for lines that could not be handed to the dialog.
std::string lostTraceLinesNotice(uint32_t lost);

class TraceListSink : public TraceSink {
public:
    // message: the window message that carries a line (its lParam owns a std::string).
    explicit TraceListSink(UINT message) : message_(message) {}

    // The dialog that receives the lines; lines added while none is attached are dropped.
    void attach(HWND dialog) { dialog_ = dialog; }
    void detach() { dialog_ = nullptr; }

    // A line that cannot be posted (the dialog's queue is full) is counted, and the next
    // line that can be is preceded by a notice of how many were lost.
    void addLine(std::string line) override;

    // Runs on the dialog's thread for each message: appends the line, drops the oldest
    // beyond kMaxTraceLines, and scrolls so that the line ten places before the end is
    // the top one.
    static void showLine(HWND listBox, LPARAM lParam);
    // Frees the lines still queued for the dialog (when it goes).
    void discardQueuedLines(HWND dialog) const;

private:
    bool post(HWND dialog, std::string line) const;

    UINT message_;
    std::atomic<HWND> dialog_{nullptr};
    std::atomic<uint32_t> lost_{0};
};

} // namespace clser::app
