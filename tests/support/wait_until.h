// Bounded waits for a condition that another thread or process brings about.
#pragma once

#include <chrono>
#include <functional>

namespace clser::test {

// Polls the condition until it holds (true) or the limit passes (false).
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

} // namespace clser::test
