// A stand-in for the main dialog that records what the connection operations ask of it.
#pragma once

#include "bridge_ui.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace clser::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    unsigned type;
};

class RecordingTraceList : public TraceSink {
public:
    void addLine(std::string line) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(std::move(line));
        changed_.notify_all();
    }
    std::vector<std::string> lines() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
    }
    // Waits until at least n lines are there; false after the time-out.
    bool waitForLines(size_t n, std::chrono::milliseconds timeout)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return lines_.size() >= n; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};

class RecordingBridgeUi : public BridgeUi {
public:
    int showMessage(const std::string& text, const std::string& caption, unsigned type) override
    {
        messages.push_back({text, caption, type});
        return nextAnswer;
    }
    void updateStatus() override { ++statusUpdates; }
    void setConnectMenus(bool connected) override
    {
        menusSet = true;
        menusConnected = connected;
    }
    void setTrayConnected(bool connected) override
    {
        traySet = true;
        trayConnected = connected;
    }
    void handSettingsToPortDialog(const ConnectionSettings& s) override
    {
        ++settingsHandedOver;
        portDialogSettings = s;
    }
    void startStatusTimer() override { timerRunning = true; }
    void stopStatusTimer() override { timerRunning = false; }
    TraceSink* traceList() override { return &trace; }

    std::vector<ShownMessage> messages;
    int nextAnswer = IDOK;
    int statusUpdates = 0;
    bool menusSet = false;
    bool menusConnected = false;
    bool traySet = false;
    bool trayConnected = false;
    int settingsHandedOver = 0;
    ConnectionSettings portDialogSettings;
    bool timerRunning = false;
    RecordingTraceList trace;
};

} // namespace clser::test
