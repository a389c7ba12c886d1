// Runs one of the program's dialogs on a user-interface thread of its own, so that the
// test thread can drive it the way a user would: commands, messages, answered boxes.
#pragma once

#include "app_test_support.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

namespace clser::test {

constexpr UINT kRunOnUiThread = WM_APP + 300;
constexpr UINT kForceEnd = WM_APP + 301;
constexpr INT_PTR kForcedEnd = -2;

// A dialog class with two test hooks: a call run on its own thread, and an end that no
// user command gives (the main dialog swallows Cancel).
template <class Dialog>
class Instrumented : public Dialog {
public:
    template <class... Args>
    explicit Instrumented(Args&&... args) : Dialog(std::forward<Args>(args)...)
    {
    }

    std::atomic<bool> initialised{false};

    void onUiThread(const std::function<void()>& call)
    {
        SendMessageA(this->hwnd(), kRunOnUiThread, 0, reinterpret_cast<LPARAM>(&call));
    }

protected:
    BOOL onInitDialog() override
    {
        const BOOL result = Dialog::onInitDialog();
        initialised = true;
        return result;
    }
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        if (message == kRunOnUiThread) {
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
            handled = true;
            return TRUE;
        }
        if (message == kForceEnd) {
            EndDialog(this->hwnd(), kForcedEnd);
            handled = true;
            return TRUE;
        }
        return Dialog::onMessage(message, wParam, lParam, handled);
    }
};

// A window in the tray has the hidden owner as its parent instead of the desktop.
inline bool inTray(HWND window) { return GetAncestor(window, GA_PARENT) != GetDesktopWindow(); }

// The modal run of a dialog on its own thread, from construction to the end of the loop.
template <class Dialog>
class ModalRun {
public:
    explicit ModalRun(Instrumented<Dialog>& dialog, HWND parent = nullptr) : dialog_(dialog)
    {
        thread_ = std::thread([this, parent] {
            threadId_ = GetCurrentThreadId();
            result_ = dialog_.runModal(parent);
            done_ = true;
        });
        waitUntil([this] { return dialog_.hwnd() != nullptr || done_.load(); }, 30000ms);
    }

    // True once the dialog's initialisation has run to its end.
    bool waitInitialised(unsigned timeoutMs = 30000) const
    {
        return waitUntil([this] { return dialog_.initialised.load(); }, std::chrono::milliseconds(timeoutMs));
    }
    // True once the window is visible on the screen.
    bool waitVisible(unsigned timeoutMs = 15000) const
    {
        return waitUntil([this] { return IsWindowVisible(dialog_.hwnd()) != FALSE; },
                         std::chrono::milliseconds(timeoutMs));
    }
    // True once the window went into the tray: it has the hidden owner as parent and is
    // not visible.
    bool waitHiddenInTray(unsigned timeoutMs = 15000) const
    {
        return waitUntil(
            [this] { return inTray(dialog_.hwnd()) && !IsWindowVisible(dialog_.hwnd()); },
            std::chrono::milliseconds(timeoutMs));
    }

    ~ModalRun() { end(); }

    HWND hwnd() const { return dialog_.hwnd(); }
    bool done() const { return done_; }
    INT_PTR result() const { return result_; }
    bool waitDone(unsigned timeoutMs) const
    {
        return waitUntil([this] { return done_.load(); }, std::chrono::milliseconds(timeoutMs));
    }

    // Ends the run whatever it shows: boxes of the thread are cancelled, then the dialog.
    void end()
    {
        if (!thread_.joinable())
            return;
        while (!done_) {
            for (HWND window : dialogWindowsOfProcess(GetCurrentProcessId())) {
                if (window == dialog_.hwnd() || GetWindowThreadProcessId(window, nullptr) != threadId_)
                    continue;
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                PostMessageA(window, WM_COMMAND, IDOK, 0);
            }
            if (HWND own = dialog_.hwnd())
                PostMessageA(own, kForceEnd, 0, 0);
            waitUntil([this] { return done_.load(); }, 500ms);
        }
        thread_.join();
    }

private:
    Instrumented<Dialog>& dialog_;
    std::thread thread_;
    std::atomic<DWORD> threadId_{0};
    std::atomic<bool> done_{false};
    INT_PTR result_ = 0;
};

} // namespace clser::test
