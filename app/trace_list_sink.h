// Hands the transfer thread's trace lines to the main dialog's list box. The thread
// never waits for the user-interface thread: each line travels in a posted message.
#pragma once

#include "trace_sink.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace clser::app {

class TraceListSink : public TraceSink {
public:
    // message: the window message that carries a line (its lParam owns a std::string).
    explicit TraceListSink(UINT message) : message_(message) {}

    // The dialog that receives the lines; lines added while none is attached are dropped.
    void attach(HWND dialog) { dialog_ = dialog; }
    void detach() { dialog_ = nullptr; }

    void addLine(std::string line) override;

    // Runs on the dialog's thread for each message: appends the line and scrolls so that
    // the line ten places before the end is the top one.
    static void showLine(HWND listBox, LPARAM lParam);
    // Frees the lines still queued for the dialog (when it goes).
    void discardQueuedLines(HWND dialog) const;

private:
    UINT message_;
    std::atomic<HWND> dialog_{nullptr};
};

} // namespace clser::app
