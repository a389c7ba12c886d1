#include "instance_mutex.h"

#include <windows.h>

namespace clser::app {

std::string instanceMutexName(int number) { return "clserdunmeremutex" + std::to_string(number); }

int InstanceMutexes::take()
{
    for (int n = 0;; ++n) {
        const std::string name = instanceMutexName(n);
        UniqueHandle mutex(CreateMutexA(nullptr, FALSE, name.c_str()));
        const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
        handles_.push_back(std::move(mutex));
        if (!existed) {
            number_ = n;
            return n;
        }
    }
}

} // namespace clser::app
