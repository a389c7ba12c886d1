#include "setupc_runner.h"

#include "unique_handle.h"

#include <windows.h>
#include <shellapi.h>

namespace clser::vcom {
namespace {

// The shell sets hInstApp above 32 on success; a value it leaves alone reads as failure.
constexpr INT_PTR kUnsetInstApp = 29;
constexpr INT_PTR kHighestFailureCode = 32;
#ifndef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "the 32-bit information block is 60 bytes");
#endif

} // namespace

const char* setupcVerb(bool runningAsAdmin) { return runningAsAdmin ? "open" : "runas"; }

SetupcRunResult runSetupc(const std::string& setupcPath, const std::string& directory, const char* verb,
                          const std::string& parameters, unsigned long waitMs)
{
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI;
    info.hwnd = nullptr;
    info.lpVerb = verb;
    info.lpFile = setupcPath.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = directory.c_str();
    info.nShow = SW_HIDE;
    info.hInstApp = reinterpret_cast<HINSTANCE>(kUnsetInstApp);
    ShellExecuteExA(&info);
    const DWORD startError = GetLastError();
    UniqueHandle process(info.hProcess);
    if (reinterpret_cast<INT_PTR>(info.hInstApp) <= kHighestFailureCode)
        return {SetupcRun::StartFailed, startError};
    if (!process)
        return {SetupcRun::NoProcess, 0};
    if (waitMs != 0 && WaitForSingleObject(process.get(), waitMs) != WAIT_OBJECT_0)
        return {SetupcRun::WaitFailed, 0};
    return {SetupcRun::Finished, 0};
}

} // namespace clser::vcom
