// The camera behind one simulated Camera Link serial port: it collects received bytes
// into commands, answers them from its table (or echoes every byte), and queues the
// answer bytes with the time at which each one reaches the host. Time is passed in, so
// the model runs without a clock or a thread of its own; it has no lock either.
#pragma once

#include "sim_config.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace clser::sim {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;

// A command line longer than this is dropped and answered as unknown.
constexpr size_t kMaxCommandBytes = 4096;

// The n bytes a dump command sends: byte k has the value k mod 256.
std::string dumpPattern(uint32_t count);

class SimCamera {
public:
    explicit SimCamera(PortConfig config);

    const PortConfig& config() const { return config_; }

    // Forgets a half-received command and every answer not yet read, as a fresh open
    // of the port does. Values set by commands are kept.
    void resetLine();

    // Line rate used for paced answers.
    void setBitsPerSecond(uint32_t bitsPerSecond) { bitsPerSecond_ = bitsPerSecond; }

    // The camera receives bytes at the given time (and logs them when configured).
    void receive(std::string_view bytes, TimePoint now);

    // Answer bytes that have reached the host by now and are not yet taken.
    size_t available(TimePoint now) const;
    // Takes up to `most` of the available bytes, in order.
    std::string take(size_t most, TimePoint now);
    // When the next byte still on its way arrives; nothing when no byte is on its way.
    std::optional<TimePoint> nextArrival(TimePoint now) const;

private:
    struct Chunk {
        TimePoint start;                 // first byte available (unpaced) or starts sending (paced)
        std::chrono::nanoseconds perByte; // zero when not paced
        std::string bytes;
        size_t taken = 0;
        size_t arrived(TimePoint now) const;
        TimePoint end() const { return start + perByte * static_cast<long long>(bytes.size()); }
    };

    void handleCommand(const std::string& command, TimePoint now);
    std::optional<std::string> answerOf(const std::string& command);
    void send(std::string bytes, TimePoint readyAt);
    void appendToLog(std::string_view bytes) const;

    PortConfig config_;
    std::map<std::string, std::string> values_;
    std::string command_;
    std::deque<Chunk> out_;
    uint32_t bitsPerSecond_ = 9600;
};

} // namespace clser::sim
