// An owned Win32 event with the calls its users make: set, reset, wait. Manual-reset
// events stay signalled until reset; auto-reset ones release one waiter.
#pragma once

#include "unique_handle.h"

#include <windows.h>

namespace clser {

class UniqueEvent {
public:
    enum class Reset { manual, automatic };

    // Creates the event, not signalled; valid() tells whether Windows made it (the
    // error is then in GetLastError).
    explicit UniqueEvent(Reset reset = Reset::manual)
        : handle_(CreateEventA(nullptr, reset == Reset::manual ? TRUE : FALSE, FALSE, nullptr))
    {
    }

    bool valid() const { return handle_.valid(); }
    explicit operator bool() const { return valid(); }
    HANDLE get() const { return handle_.get(); }

    void set() const { SetEvent(handle_.get()); }
    void reset() const { ResetEvent(handle_.get()); }
    // True when the event was signalled within ms.
    bool wait(DWORD ms = INFINITE) const { return WaitForSingleObject(handle_.get(), ms) == WAIT_OBJECT_0; }

private:
    UniqueHandle handle_;
};

} // namespace clser
