#include "precise_timer.h"

#include <mmsystem.h>

namespace clser {
namespace {

// Not in every system's kernel32 (Windows 10 1803 and later), so looked up at run time.
constexpr DWORD kCreateWaitableTimerHighResolution = 0x00000002;

HANDLE createHighResolutionTimer()
{
    using CreateEx = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto create =
        kernel ? reinterpret_cast<CreateEx>(reinterpret_cast<void*>(GetProcAddress(kernel, "CreateWaitableTimerExW")))
               : nullptr;
    if (!create)
        return nullptr;
    return create(nullptr, nullptr, kCreateWaitableTimerHighResolution, TIMER_ALL_ACCESS);
}

HANDLE createTimer() { return CreateWaitableTimerA(nullptr, FALSE, nullptr); }

UINT beginPeriod(UINT ms) { return timeBeginPeriod(ms); }
UINT endPeriod(UINT ms) { return timeEndPeriod(ms); }

} // namespace

const PreciseTimerSystem& systemPreciseTimer()
{
    static const PreciseTimerSystem system{createHighResolutionTimer, createTimer, beginPeriod, endPeriod};
    return system;
}

PreciseTimer::PreciseTimer(const PreciseTimerSystem& system) : system_(system)
{
    timer_.reset(system_.createHighResolutionTimer());
    highResolution_ = timer_.valid();
    if (highResolution_)
        return;
    timer_.reset(system_.createTimer());
    // A plain timer is as precise as the system's timer resolution.
    periodTaken_ = timer_.valid() && system_.beginPeriod(1) == 0;
}

PreciseTimer::~PreciseTimer()
{
    if (periodTaken_)
        system_.endPeriod(1);
}

bool PreciseTimer::arm(uint32_t ms)
{
    LARGE_INTEGER due;
    // Relative, in units of 100 ns.
    due.QuadPart = -static_cast<LONGLONG>(ms) * 10000;
    return SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE) != 0;
}

} // namespace clser
