#include "network_endpoint.h"

#include "baud_rate_choice.h"
#include "winsock_error_status.h"

#include <mstcpip.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>

namespace clser::network {
namespace {

// What one recv() takes, and what one escaped piece of camera data holds (twice the
// bytes at most).
constexpr std::size_t kReceiveChunk = 4096;
constexpr std::size_t kSendChunk = 2048;
constexpr int kListenBacklog = 4;
// Clients taken from the listener in one pass of a read; the rest wait for the next.
constexpr int kMaxAcceptsPerPass = 8;
// Receives in one pass of a read: a client that keeps sending commands only (no data)
// gets this much attention before the read looks at its deadline and the wake again.
constexpr int kMaxReceivesPerPass = 8;
// While bytes wait for a client, write() tries again this often.
constexpr DWORD kSendRetryMs = 10;
// How often a read that waits looks at the served client's socket and bounds anyway,
// and more often while bytes wait for it.
constexpr uint64_t kClientCheckMs = 1000;
constexpr uint64_t kPendingCheckMs = 50;

uint64_t nowMs() { return ::GetTickCount64(); }

int lastStatus() { return statusFromWinsockError(::WSAGetLastError()); }

std::string peerText(const sockaddr_in& peer)
{
    return ipv4AddressText(ntohl(peer.sin_addr.s_addr)) + ":" + std::to_string(ntohs(peer.sin_port));
}

std::string durationText(uint32_t ms)
{
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// Why a client's socket failed, for its disconnect line.
std::string socketFailure(int error)
{
    switch (error) {
    case WSAETIMEDOUT:
        return "its host no longer answers";
    case WSAECONNRESET:
    case WSAECONNABORTED:
        return "the connection was reset";
    default:
        return "Winsock error " + std::to_string(error);
    }
}

} // namespace

NetworkEndpoint::NetworkEndpoint(NetworkSettings settings, EndpointHooks hooks, HANDLE wakeEvent,
                                 EndpointTimings timings)
    : settings_(std::move(settings)),
      hooks_(std::move(hooks)),
      wake_(wakeEvent),
      timings_(timings),
      interrupt_(UniqueEvent::Reset::manual)
{
}

NetworkEndpoint::~NetworkEndpoint() { close(); }

int NetworkEndpoint::open()
{
    close();
    if (winsock_.error() != 0)
        return statusFromWinsockError(winsock_.error());
    if (!interrupt_)
        return statusFromWinsockError(WSA_NOT_ENOUGH_MEMORY);
    interrupt_.reset();
    listenEvent_.reset(::WSACreateEvent());
    clientEvent_.reset(::WSACreateEvent());
    if (!listenEvent_ || !clientEvent_)
        return lastStatus();

    UniqueSocket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!listener)
        return lastStatus();
    // No other program may take the port while this one listens on it.
    BOOL exclusive = TRUE;
    ::setsockopt(listener.get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
                 sizeof exclusive);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(settings_.port);
    address.sin_addr.s_addr = htonl(settings_.listenAddress);
    if (::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return lastStatus();
    if (::listen(listener.get(), kListenBacklog) != 0)
        return lastStatus();
    // Non-blocking from here on; the event tells of clients waiting.
    if (::WSAEventSelect(listener.get(), listenEvent_.get(), FD_ACCEPT) != 0)
        return lastStatus();
    sockaddr_in bound{};
    int boundSize = sizeof bound;
    if (::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&bound), &boundSize) == 0)
        listeningPort_ = ntohs(bound.sin_port);
    CriticalSectionLock lock(clientLock_);
    listener_ = std::move(listener);
    listening_ = true;
    return 0;
}

bool NetworkEndpoint::hasClient() const { return !clientAddress().empty(); }

std::string NetworkEndpoint::clientAddress() const
{
    CriticalSectionLock lock(snapshotLock_);
    return snapshot_;
}

void NetworkEndpoint::publish(const std::string& client)
{
    CriticalSectionLock lock(snapshotLock_);
    snapshot_ = client;
}

void NetworkEndpoint::close()
{
    CriticalSectionLock lock(clientLock_);
    dropClient({});
    listening_ = false;
    listener_.reset();
    listeningPort_ = 0;
}

void NetworkEndpoint::interrupt()
{
    if (interrupt_)
        interrupt_.set();
}

int NetworkEndpoint::read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs)
{
    got = 0;
    if (!listening_)
        return kEndpointNotOpen;
    const bool bounded = timeoutMs != INFINITE;
    const uint64_t deadline = nowMs() + timeoutMs;
    for (;;) {
        // The stop and the wake come first: a wait that finds several events signalled
        // names the first, so a client that keeps sending cannot hide them.
        HANDLE waitOn[4];
        DWORD count = 0;
        if (wake_ != nullptr)
            waitOn[count++] = wake_;
        waitOn[count++] = interrupt_.get();
        const DWORD signals = count;
        uint64_t waitMs = INFINITE - 1;
        {
            CriticalSectionLock lock(clientLock_);
            const uint64_t now = nowMs();
            // Events are cleared before the sockets are tried, so that whatever arrives
            // after the tries signals the wait below.
            ::WSAResetEvent(listenEvent_.get());
            ::WSAResetEvent(clientEvent_.get());
            const int status = acceptWaiting(now);
            if (status != 0)
                return status;
            // A few receives a pass: a client that keeps sending (commands only, say)
            // cannot keep the read from its deadline. None while the client's outbox is
            // full: its commands' replies would pile up there without end.
            flush(now);
            for (int i = 0; i < kMaxReceivesPerPass && client_ && !halfClosed_ && outbox_.size() < kOutboxLimit &&
                            got < wanted;
                 ++i)
                if (!receive(buffer, wanted, got, now))
                    break;
            flush(now);
            waitMs = std::min<uint64_t>(waitMs, checkBounds(now));
            if (client_)
                selectClientEvents(outbox_.size() < kOutboxLimit);
            if (const uint64_t due = reportHeldBackLines(now))
                waitMs = std::min(waitMs, due);
            if (got > 0)
                return 0;
            waitOn[count++] = listenEvent_.get();
            if (client_ && (!halfClosed_ || !outbox_.empty()))
                waitOn[count++] = clientEvent_.get();
        }
        const uint64_t now = nowMs();
        if (bounded) {
            if (now >= deadline)
                return 0;
            waitMs = std::min(waitMs, deadline - now);
        }
        const DWORD result = ::WSAWaitForMultipleEvents(count, waitOn, FALSE, static_cast<DWORD>(waitMs), FALSE);
        if (result == WSA_WAIT_FAILED)
            return lastStatus();
        if (result < WSA_WAIT_EVENT_0 + signals)
            return 0;
    }
}

int NetworkEndpoint::write(const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    written = count;
    if (!listening_)
        return kEndpointNotOpen;
    const char* bytes = reinterpret_cast<const char*>(buffer);
    std::size_t left = count;
    uint64_t forClient = 0;
    for (;;) {
        {
            CriticalSectionLock lock(clientLock_);
            // No client, or the one these bytes were for has gone meanwhile: dropped.
            if (!client_ || (forClient != 0 && clientNumber_ != forClient))
                return 0;
            forClient = clientNumber_;
            const uint64_t now = nowMs();
            lastCameraBytesMs_ = now;
            flush(now);
            while (client_ && left > 0 && outbox_.size() < kOutboxLimit) {
                const std::size_t take = std::min(left, kSendChunk);
                if (session_) {
                    escaped_.clear();
                    appendEscapedForClient(std::string_view(bytes, take), escaped_);
                    queueForClient(escaped_.data(), escaped_.size(), now);
                } else {
                    queueForClient(bytes, take, now);
                }
                bytes += take;
                left -= take;
                flush(now);
            }
            if (left == 0)
                return 0;
            checkBounds(now);
            if (!client_)
                return 0;
        }
        // Room comes when the client reads; the lock is free meanwhile for the read and
        // for the client's own requests. A stop drops what is left.
        if (interrupt_.wait(kSendRetryMs))
            return 0;
    }
}

// Takes the clients waiting, a few a pass: the first one free and allowed is served (or,
// with takeover, replaces the one served), every other one is closed at once.
int NetworkEndpoint::acceptWaiting(uint64_t nowMs)
{
    for (int i = 0; i < kMaxAcceptsPerPass; ++i) {
        sockaddr_in peer{};
        int peerSize = sizeof peer;
        UniqueSocket incoming(::accept(listener_.get(), reinterpret_cast<sockaddr*>(&peer), &peerSize));
        if (!incoming) {
            const int error = ::WSAGetLastError();
            if (error == WSAEWOULDBLOCK)
                return 0;
            // A client that gave up while waiting is no fault of the listener.
            if (error == WSAECONNRESET || error == WSAECONNABORTED)
                continue;
            return statusFromWinsockError(error);
        }
        const std::string text = peerText(peer);
        // A client whose connection failed (reset, keepalive time-out) but that was not
        // read since gives way now, like one that ended its sending.
        int failure = 0;
        const ServedClient served = servedClient(failure);
        const NewcomerDecision decision = decideNewcomer(served, nowMs - servedSinceMs_, settings_.takeover,
                                                         clientAllowed(settings_, ntohl(peer.sin_addr.s_addr)));
        if (decision.outcome == NewcomerOutcome::Refused) {
            incoming.reset();
            reportHeldBackLines(nowMs);
            if (refusals_.admit(nowMs) && hooks_.clientRefused)
                hooks_.clientRefused(text, decision.refusal);
            continue;
        }
        if (served == ServedClient::Failed)
            dropClient(socketFailure(failure));
        else if (served == ServedClient::EndedSending)
            dropClient("it ended its sending and a new client came");
        else
            dropClient("taken over by " + text);
        serve(std::move(incoming), text, nowMs);
    }
    // More may be waiting: the next pass takes them.
    ::WSASetEvent(listenEvent_.get());
    return 0;
}

void NetworkEndpoint::serve(UniqueSocket incoming, const std::string& text, uint64_t nowMs)
{
    // The accepted socket took the listener's event; it gets its own.
    if (::WSAEventSelect(incoming.get(), clientEvent_.get(), FD_READ | FD_WRITE | FD_CLOSE) != 0)
        return;
    BOOL noDelay = TRUE;
    ::setsockopt(incoming.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    // A client whose host vanishes sends nothing more; probes find out.
    tcp_keepalive keepalive{1, timings_.keepaliveIdleMs, timings_.keepaliveIntervalMs};
    DWORD returned = 0;
    ::WSAIoctl(incoming.get(), SIO_KEEPALIVE_VALS, &keepalive, sizeof keepalive, nullptr, 0, &returned, nullptr,
               nullptr);
    client_ = std::move(incoming);
    clientText_ = text;
    ++clientNumber_;
    servedSinceMs_ = nowMs;
    receiving_ = true;
    outbox_.clear();
    halfClosed_ = false;
    lastProgressMs_ = nowMs;
    lastCameraBytesMs_ = nowMs;
    if (settings_.protocol == NetProtocol::Rfc2217) {
        session_.emplace(static_cast<Rfc2217Requests&>(*this));
        const std::string opening = session_->opening();
        queueForClient(opening.data(), opening.size(), nowMs);
        flush(nowMs);
    }
    publish(clientText_);
    if (hooks_.clientConnected)
        hooks_.clientConnected(clientText_);
}

ServedClient NetworkEndpoint::servedClient(int& error)
{
    if (!client_)
        return ServedClient::None;
    char next;
    const int n = halfClosed_ ? 0 : ::recv(client_.get(), &next, 1, MSG_PEEK);
    if (n == 0) {
        halfClosed_ = true;
        return ServedClient::EndedSending;
    }
    if (n > 0)
        return ServedClient::Serving;
    error = ::WSAGetLastError();
    return error == WSAEWOULDBLOCK ? ServedClient::Serving : ServedClient::Failed;
}

void NetworkEndpoint::selectClientEvents(bool receiving)
{
    if (receiving == receiving_)
        return;
    // Without FD_READ a client's waiting bytes cannot keep the read's wait from waiting;
    // FD_WRITE tells of the room that lets them in again.
    const long events = receiving ? FD_READ | FD_WRITE | FD_CLOSE : FD_WRITE | FD_CLOSE;
    if (::WSAEventSelect(client_.get(), clientEvent_.get(), events) == 0)
        receiving_ = receiving;
}

// One recv: data bytes for the camera into buffer + got, replies queued for the client.
// True when the socket may hold more.
bool NetworkEndpoint::receive(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint64_t nowMs)
{
    char chunk[kReceiveChunk];
    // The session yields at most as many data bytes as it takes in.
    const int take = static_cast<int>(std::min<std::size_t>(wanted - got, sizeof chunk));
    const int n = ::recv(client_.get(), chunk, take, 0);
    if (n == 0) {
        // The client ended its sending side; it may still be waiting for the answer.
        halfClosed_ = true;
        lastCameraBytesMs_ = nowMs;
        return false;
    }
    if (n < 0) {
        const int error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            dropClient(socketFailure(error));
        return false;
    }
    if (!session_) {
        std::memcpy(buffer + got, chunk, static_cast<std::size_t>(n));
        got += static_cast<uint32_t>(n);
        return n == take;
    }
    data_.clear();
    replies_.clear();
    session_->feed(std::string_view(chunk, static_cast<std::size_t>(n)), data_, replies_);
    std::memcpy(buffer + got, data_.data(), data_.size());
    got += static_cast<uint32_t>(data_.size());
    if (!replies_.empty())
        queueForClient(replies_.data(), replies_.size(), nowMs);
    return n == take;
}

void NetworkEndpoint::queueForClient(const char* bytes, std::size_t size, uint64_t nowMs)
{
    // The stalled-client bound counts from when bytes began to wait.
    if (outbox_.empty())
        lastProgressMs_ = nowMs;
    outbox_.append(bytes, size);
}

// Sends what the socket takes now; never waits.
void NetworkEndpoint::flush(uint64_t nowMs)
{
    while (client_ && !outbox_.empty()) {
        const int n = ::send(client_.get(), outbox_.data(), static_cast<int>(std::min<std::size_t>(outbox_.size(), 65536)), 0);
        if (n > 0) {
            outbox_.erase(0, static_cast<std::size_t>(n));
            lastProgressMs_ = nowMs;
            continue;
        }
        const int error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            dropClient(socketFailure(error));
        return;
    }
}

uint32_t NetworkEndpoint::checkBounds(uint64_t nowMs)
{
    if (!client_)
        return INFINITE;
    uint64_t next = kClientCheckMs;
    if (!outbox_.empty()) {
        const uint64_t waited = nowMs - lastProgressMs_;
        if (waited >= timings_.stalledClientMs) {
            dropClient("took nothing for " + durationText(timings_.stalledClientMs));
            return INFINITE;
        }
        next = std::min({next, kPendingCheckMs, timings_.stalledClientMs - waited});
    } else if (halfClosed_) {
        const uint64_t quiet = nowMs - lastCameraBytesMs_;
        if (quiet >= timings_.halfClosedQuietMs) {
            dropClient("it ended its sending and the camera was quiet for " + durationText(timings_.halfClosedQuietMs));
            return INFINITE;
        }
        next = std::min(next, timings_.halfClosedQuietMs - quiet);
    }
    return static_cast<uint32_t>(next);
}

uint64_t NetworkEndpoint::reportHeldBackLines(uint64_t nowMs)
{
    if (const uint32_t count = refusals_.heldBackDue(nowMs))
        if (hooks_.refusalsHeldBack)
            hooks_.refusalsHeldBack(count);
    if (const uint32_t count = rateLines_.heldBackDue(nowMs))
        if (hooks_.rateReportsHeldBack)
            hooks_.rateReportsHeldBack(count);
    const uint64_t refusalsDue = refusals_.msUntilDue(nowMs);
    const uint64_t ratesDue = rateLines_.msUntilDue(nowMs);
    return refusalsDue == 0 || ratesDue == 0 ? refusalsDue + ratesDue : std::min(refusalsDue, ratesDue);
}

void NetworkEndpoint::dropClient(const std::string& why)
{
    if (!client_)
        return;
    client_.reset();
    session_.reset();
    outbox_.clear();
    halfClosed_ = false;
    const std::string text = std::move(clientText_);
    clientText_.clear();
    publish({});
    if (hooks_.clientDisconnected)
        hooks_.clientDisconnected(text, why);
}

uint32_t NetworkEndpoint::setBaudRate(uint32_t bitsPerSecond)
{
    if (hooks_.baudRateRequested) {
        rateLine_.clear();
        const uint32_t inForce = hooks_.baudRateRequested(bitsPerSecond, rateLine_);
        // The Camera Link rate is set every time; only its lines are few.
        if (!rateLine_.empty() && rateLines_.admit(nowMs()) && hooks_.rateReported)
            hooks_.rateReported(rateLine_);
        return inForce;
    }
    ownRate_ = rateAfterRequest(bitsPerSecond, ownRate_);
    return ownRate_;
}

void NetworkEndpoint::purge(PurgeKind what)
{
    if (hooks_.purgeRequested)
        hooks_.purgeRequested(what);
}

} // namespace clser::network
