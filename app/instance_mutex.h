// Numbers the running bridge processes: each takes the first instance mutex
// "clserdunmeremutex<n>" that is new. It never refuses a start.
#pragma once

#include "unique_handle.h"

#include <string>
#include <vector>

namespace clser::app {

std::string instanceMutexName(int number);

class InstanceMutexes {
public:
    // Opens the mutexes from number 0 on until one is new; every handle stays open for
    // the life of this object (the process), so no running process's number is reused.
    // Returns the number taken.
    int take();
    int number() const { return number_; }

private:
    std::vector<UniqueHandle> handles_;
    int number_ = -1;
};

} // namespace clser::app
