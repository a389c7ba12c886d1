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
    line_.clear();
    lineFreeAt_ = TimePoint::min();
    buffered_.clear();
    bufferedStart_ = 0;
    dropped_ = 0;
    writeOverflowLog();
}

void SimCamera::receive(std::string_view bytes, TimePoint now)
{
    interpret(bytes, now);
    settle(now);   // an answer due at once has reached the host side when the write returns
}

void SimCamera::interpret(std::string_view bytes, TimePoint now)
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
    // A camera that pauses within its answers sends each piece as an answer of its own,
    // the pause after the one before.
    const size_t piece = config_.pauseEvery;
    if (piece == 0 || bytes.size() <= piece) {
        sendPiece(std::move(bytes), readyAt);
        return;
    }
    for (size_t at = 0; at < bytes.size(); at += piece) {
        sendPiece(bytes.substr(at, piece), readyAt);
        readyAt = lineFreeAt_ + std::chrono::milliseconds(config_.pauseMs);
    }
}

void SimCamera::sendPiece(std::string bytes, TimePoint readyAt)
{
    if (bytes.empty())
        return;
    Chunk chunk;
    chunk.perByte = config_.pace && bitsPerSecond_ > 0
        ? std::chrono::nanoseconds(10'000'000'000LL / bitsPerSecond_)
        : std::chrono::nanoseconds(0);
    // One line: an answer starts no earlier than the end of the one before it.
    chunk.start = std::max(readyAt, lineFreeAt_);
    chunk.bytes = std::move(bytes);
    lineFreeAt_ = chunk.end();
    line_.push_back(std::move(chunk));
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

void SimCamera::settle(TimePoint now)
{
    const size_t capacity = config_.receiveBuffer;
    const uint64_t droppedBefore = dropped_;
    // Answers follow each other on the line, so the bytes of one chunk all arrive before
    // those of the next: filling the buffer chunk by chunk keeps the order of arrival.
    while (!line_.empty()) {
        Chunk& c = line_.front();
        size_t arrived = c.arrived(now);
        if (arrived > c.delivered) {
            size_t n = arrived - c.delivered;
            size_t held = buffered_.size() - bufferedStart_;
            size_t kept = capacity == 0 ? n : std::min(n, capacity > held ? capacity - held : 0);
            buffered_.append(c.bytes, c.delivered, kept);
            dropped_ += n - kept;
            c.delivered = arrived;
        }
        if (c.delivered < c.bytes.size())
            break;
        line_.pop_front();
    }
    if (dropped_ != droppedBefore)
        writeOverflowLog();
}

size_t SimCamera::available(TimePoint now)
{
    settle(now);
    return buffered_.size() - bufferedStart_;
}

std::string SimCamera::take(size_t most, TimePoint now)
{
    settle(now);
    size_t n = std::min(most, buffered_.size() - bufferedStart_);
    std::string got = buffered_.substr(bufferedStart_, n);
    bufferedStart_ += n;
    // Taken bytes are let go once they are the larger part, so a take costs what it hands over.
    if (bufferedStart_ == buffered_.size() || bufferedStart_ > buffered_.size() / 2) {
        buffered_.erase(0, bufferedStart_);
        bufferedStart_ = 0;
    }
    return got;
}

std::optional<TimePoint> SimCamera::nextArrival(TimePoint now)
{
    settle(now);
    if (line_.empty())
        return std::nullopt;
    const Chunk& c = line_.front();
    if (c.perByte.count() == 0)
        return c.start;
    return c.start + c.perByte * static_cast<long long>(c.delivered + 1);
}

uint64_t SimCamera::dropped(TimePoint now)
{
    settle(now);
    return dropped_;
}

void SimCamera::appendToLog(std::string_view bytes) const
{
    if (config_.receiveLog.empty())
        return;
    std::ofstream log(config_.receiveLog, std::ios::binary | std::ios::app);
    log.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void SimCamera::writeOverflowLog() const
{
    if (config_.overflowLog.empty())
        return;
    std::ofstream(config_.overflowLog, std::ios::binary | std::ios::trunc) << dropped_;
}

} // namespace clser::sim
