#include "wait_until.h"

#include <windows.h>

namespace clser::test {

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        Sleep(10);
    }
}

} // namespace clser::test
