// A critical section owned for its whole life, and a scope that holds it.
#pragma once

#include <windows.h>

namespace clser {

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSectionAndSpinCount(&cs_, 0); }
    ~CriticalSection() { DeleteCriticalSection(&cs_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter() { EnterCriticalSection(&cs_); }
    void leave() { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& cs) : cs_(cs) { cs_.enter(); }
    ~CriticalSectionLock() { cs_.leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& cs_;
};

} // namespace clser
