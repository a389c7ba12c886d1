// The camera behind one simulated Camera Link serial port: it collects received bytes
// into commands, answers them from its table (or echoes every byte), and queues the
// answer bytes with the time at which each one reaches the host side. There the frame
// grabber's receive buffer holds them until the host reads them; bytes that arrive
// while it is full are lost and counted. Time is passed in, so the model runs without a
// clock or a thread of its own; it has no lock either.
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

    // Forgets a half-received command and every answer not yet read, and starts the
    // count of dropped bytes afresh (the overflow log says 0), as a fresh open of the
    // port does. Values set by commands are kept.
    void resetLine();

    // Line rate used for paced answers.
    void setBitsPerSecond(uint32_t bitsPerSecond) { bitsPerSecond_ = bitsPerSecond; }

    // The camera receives bytes at the given time (and logs them when configured).
    void receive(std::string_view bytes, TimePoint now);

    // Every call below first moves what has arrived by `now` into the receive buffer.
    // The host reads nothing between two calls, so doing it then is exact, provided
    // `now` never goes back.

    // Bytes in the receive buffer: arrived by now and not yet taken.
    size_t available(TimePoint now);
    // Takes up to `most` of the buffered bytes, oldest first.
    std::string take(size_t most, TimePoint now);
    // When the next byte still on its way arrives; nothing when no byte is on its way.
    std::optional<TimePoint> nextArrival(TimePoint now);
    // Bytes that arrived while the receive buffer was full, since the last resetLine.
    uint64_t dropped(TimePoint now);

private:
    struct Chunk {
        TimePoint start;                 // first byte available (unpaced) or starts sending (paced)
        std::chrono::nanoseconds perByte; // zero when not paced
        std::string bytes;
        size_t delivered = 0;            // bytes that reached the host side (buffered or dropped)
        size_t arrived(TimePoint now) const;
        TimePoint end() const { return start + perByte * static_cast<long long>(bytes.size()); }
    };

    void interpret(std::string_view bytes, TimePoint now);
    void handleCommand(const std::string& command, TimePoint now);
    std::optional<std::string> answerOf(const std::string& command);
    void send(std::string bytes, TimePoint readyAt);
    void sendPiece(std::string bytes, TimePoint readyAt);
    void settle(TimePoint now);
    void appendToLog(std::string_view bytes) const;
    void writeOverflowLog() const;

    PortConfig config_;
    std::map<std::string, std::string> values_;
    std::string command_;
    std::deque<Chunk> line_;             // answers on their way, in the order they leave
    TimePoint lineFreeAt_ = TimePoint::min();
    std::string buffered_;               // the receive buffer: bytes from bufferedStart_ on
    size_t bufferedStart_ = 0;
    uint64_t dropped_ = 0;
    uint32_t bitsPerSecond_ = 9600;
};

} // namespace clser::sim
