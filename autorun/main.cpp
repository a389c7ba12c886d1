// ClserDunmereAutorun: brings up every configured bridge connection in one run.
#include "launcher.h"
#include "unique_handle.h"

#include <windows.h>

int main()
{
    // Only one launcher at a time; the handle stays open until the process ends. The
    // error is taken right after the call, before anything else can change it.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "{47670430-19Q1-48VG-B658-0ADDC33BBD3F}");
    const DWORD error = GetLastError();
    const clser::UniqueHandle instance(mutex);
    if (error == ERROR_ALREADY_EXISTS)
        return -1;
    return clser::autorun::runLauncher();
}
