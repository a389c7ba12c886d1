#include "sim_camera.h"

#include <algorithm>
#include <charconv>
#include <fstream>

namespace clser::sim {

std::string dumpPattern(uint32_t count)
{
    std::string bytes(count, '\0');
    for (uint32_t k = 0; k < count; ++k)
        bytes[k] = static_cast<char>(k & 0xFF);
    return bytes;
}

SimCamera::SimCamera(PortConfig config) : config_(std::move(config)), values_(config_.params) {}

void SimCamera::resetLine()
{
    command_.clear();
    out_.clear();
}

void SimCamera::receive(std::string_view bytes, TimePoint now)
{
    if (bytes.empty())
        return;
    appendToLog(bytes);
    if (config_.echo) {
        send(std::string(bytes), now);
        return;
    }
    const std::string& end = config_.terminator;
    for (char c : bytes) {
        if (config_.ignore.find(c) != std::string::npos)
            continue;
        command_.push_back(c);
        if (command_.size() >= end.size() && command_.compare(command_.size() - end.size(), end.size(), end) == 0) {
            command_.resize(command_.size() - end.size());
            std::string command = std::move(command_);
            command_.clear();
            handleCommand(command, now);
        } else if (command_.size() > kMaxCommandBytes) {
            // A camera's line buffer overflows: what came so far is lost.
            command_.clear();
            send(config_.unknownAnswer, now + std::chrono::milliseconds(config_.answerDelayMs));
        }
    }
}

void SimCamera::handleCommand(const std::string& command, TimePoint now)
{
    if (command.empty())
        return;   // a bare terminator asks nothing
    std::optional<std::string> answer = answerOf(command);
    send(answer ? *answer : config_.unknownAnswer, now + std::chrono::milliseconds(config_.answerDelayMs));
}

std::optional<std::string> SimCamera::answerOf(const std::string& command)
{
    if (auto it = config_.commands.find(command); it != config_.commands.end())
        return it->second;

    // "<name>?" reads a value back, "<name> <value>" sets it.
    if (command.back() == '?') {
        if (auto it = values_.find(command.substr(0, command.size() - 1)); it != values_.end())
            return it->second + config_.replyEnd;
    }
    size_t space = command.find(' ');
    std::string name = command.substr(0, space);
    std::string argument = space == std::string::npos ? std::string() : command.substr(space + 1);
    bool oneWord = !argument.empty() && argument.find(' ') == std::string::npos;

    if (auto it = values_.find(name); it != values_.end() && oneWord) {
        it->second = argument;
        return config_.okAnswer;
    }
    if (auto it = config_.dumps.find(name); it != config_.dumps.end()) {
        if (space == std::string::npos)
            return dumpPattern(it->second);
        uint32_t count = 0;
        auto [end, ec] = std::from_chars(argument.data(), argument.data() + argument.size(), count);
        if (ec == std::errc() && end == argument.data() + argument.size() && !argument.empty()
            && count <= kMaxDumpBytes)
            return dumpPattern(count);
    }
    return std::nullopt;
}

void SimCamera::send(std::string bytes, TimePoint readyAt)
{
    if (bytes.empty())
        return;
    Chunk chunk;
    chunk.perByte = config_.pace && bitsPerSecond_ > 0
        ? std::chrono::nanoseconds(10'000'000'000LL / bitsPerSecond_)
        : std::chrono::nanoseconds(0);
    // One line: an answer starts no earlier than the end of the one before it.
    chunk.start = out_.empty() ? readyAt : std::max(readyAt, out_.back().end());
    chunk.bytes = std::move(bytes);
    out_.push_back(std::move(chunk));
}

size_t SimCamera::Chunk::arrived(TimePoint now) const
{
    if (now < start)
        return 0;
    if (perByte.count() == 0)
        return bytes.size();
    auto n = static_cast<size_t>((now - start) / perByte);
    return std::min(n, bytes.size());
}

size_t SimCamera::available(TimePoint now) const
{
    size_t total = 0;
    for (const Chunk& c : out_) {
        size_t arrived = c.arrived(now);
        total += arrived - c.taken;
        if (arrived < c.bytes.size())
            break;
    }
    return total;
}

std::string SimCamera::take(size_t most, TimePoint now)
{
    std::string got;
    while (!out_.empty() && got.size() < most) {
        Chunk& c = out_.front();
        size_t arrived = c.arrived(now);
        size_t n = std::min(arrived - c.taken, most - got.size());
        got.append(c.bytes, c.taken, n);
        c.taken += n;
        if (c.taken < c.bytes.size())
            break;
        out_.pop_front();
    }
    return got;
}

std::optional<TimePoint> SimCamera::nextArrival(TimePoint now) const
{
    for (const Chunk& c : out_) {
        size_t arrived = c.arrived(now);
        if (arrived == c.bytes.size())
            continue;
        if (c.perByte.count() == 0)
            return c.start;
        return c.start + c.perByte * static_cast<long long>(arrived + 1);
    }
    return std::nullopt;
}

void SimCamera::appendToLog(std::string_view bytes) const
{
    if (config_.receiveLog.empty())
        return;
    std::ofstream log(config_.receiveLog, std::ios::binary | std::ios::app);
    log.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace clser::sim
