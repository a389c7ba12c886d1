#include "network_endpoint.h"

#include "baud_rate_choice.h"
#include "winsock_error_status.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>

namespace clser::network {
namespace {

// What one recv() takes, and what one escaped piece of camera data holds (twice the
// bytes at most): the only buffers the endpoint fills.
constexpr std::size_t kReceiveChunk = 4096;
constexpr std::size_t kSendChunk = 2048;
constexpr int kListenBacklog = 4;

int lastStatus() { return statusFromWinsockError(::WSAGetLastError()); }

std::string peerText(const sockaddr_in& peer)
{
    return ipv4AddressText(ntohl(peer.sin_addr.s_addr)) + ":" + std::to_string(ntohs(peer.sin_port));
}

} // namespace

NetworkEndpoint::NetworkEndpoint(NetworkSettings settings, EndpointHooks hooks, HANDLE wakeEvent)
    : settings_(std::move(settings)), hooks_(std::move(hooks)), wake_(wakeEvent)
{
}

NetworkEndpoint::~NetworkEndpoint() { close(); }

int NetworkEndpoint::open()
{
    close();
    if (winsock_.error() != 0)
        return statusFromWinsockError(winsock_.error());
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
    listener_ = std::move(listener);
    return 0;
}

bool NetworkEndpoint::hasClient() const
{
    CriticalSectionLock lock(clientLock_);
    return client_.valid();
}

std::string NetworkEndpoint::clientAddress() const
{
    CriticalSectionLock lock(clientLock_);
    return clientText_;
}

void NetworkEndpoint::close()
{
    CriticalSectionLock lock(clientLock_);
    dropClient();
    listener_.reset();
    listeningPort_ = 0;
}

int NetworkEndpoint::read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs)
{
    got = 0;
    if (!listener_)
        return kEndpointNotOpen;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        HANDLE waitOn[3];
        DWORD count = 0;
        {
            CriticalSectionLock lock(clientLock_);
            // Events are cleared before the sockets are tried, so that whatever arrives
            // after the tries signals the wait below.
            ::WSAResetEvent(listenEvent_.get());
            ::WSAResetEvent(clientEvent_.get());
            const int status = acceptWaiting();
            if (status != 0)
                return status;
            if (client_ && wanted > 0)
                receive(buffer, wanted, got);
            if (got > 0)
                return 0;
            waitOn[count++] = listenEvent_.get();
            if (client_)
                waitOn[count++] = clientEvent_.get();
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            return 0;
        const DWORD wakeIndex = count;
        if (wake_ != nullptr)
            waitOn[count++] = wake_;
        const ULONGLONG left = deadline - now;
        const DWORD waitMs = left >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(left);
        const DWORD result = ::WSAWaitForMultipleEvents(count, waitOn, FALSE, waitMs, FALSE);
        if (result == WSA_WAIT_FAILED)
            return lastStatus();
        if (wake_ != nullptr && result == WSA_WAIT_EVENT_0 + wakeIndex)
            return 0;
    }
}

int NetworkEndpoint::write(const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    CriticalSectionLock lock(clientLock_);
    written = count;
    if (!listener_)
        return kEndpointNotOpen;
    const char* bytes = reinterpret_cast<const char*>(buffer);
    std::size_t left = count;
    while (client_ && left > 0) {
        const std::size_t take = std::min(left, kSendChunk);
        if (settings_.protocol == NetProtocol::Raw) {
            sendAll(bytes, take);
        } else {
            escaped_.clear();
            appendEscapedForClient(std::string_view(bytes, take), escaped_);
            sendAll(escaped_.data(), escaped_.size());
        }
        bytes += take;
        left -= take;
    }
    return 0;
}

// Takes every client waiting: the first one free and allowed is served, every other one
// closed at once.
int NetworkEndpoint::acceptWaiting()
{
    for (;;) {
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
        const char* refusal = nullptr;
        if (client_)
            refusal = "another client is connected";
        else if (!clientAllowed(settings_, ntohl(peer.sin_addr.s_addr)))
            refusal = "not on the allow list";
        if (refusal != nullptr) {
            incoming.reset();
            if (hooks_.clientRefused)
                hooks_.clientRefused(text, refusal);
            continue;
        }
        // The accepted socket took the listener's event; it gets its own.
        if (::WSAEventSelect(incoming.get(), clientEvent_.get(), FD_READ | FD_CLOSE) != 0)
            continue;
        BOOL noDelay = TRUE;
        ::setsockopt(incoming.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                     sizeof noDelay);
        client_ = std::move(incoming);
        clientText_ = text;
        if (settings_.protocol == NetProtocol::Rfc2217)
            session_.emplace(static_cast<Rfc2217Requests&>(*this));
        if (hooks_.clientConnected)
            hooks_.clientConnected(clientText_);
    }
}

// Data bytes for the camera into buffer + got, until wanted or the socket has no more.
void NetworkEndpoint::receive(uint8_t* buffer, uint32_t wanted, uint32_t& got)
{
    char chunk[kReceiveChunk];
    while (client_ && got < wanted) {
        // The session yields at most as many data bytes as it takes in.
        const int take = static_cast<int>(std::min<std::size_t>(wanted - got, sizeof chunk));
        const int n = ::recv(client_.get(), chunk, take, 0);
        if (n == 0) {
            dropClient();
            return;
        }
        if (n < 0) {
            if (::WSAGetLastError() != WSAEWOULDBLOCK)
                dropClient();
            return;
        }
        if (!session_) {
            std::memcpy(buffer + got, chunk, static_cast<std::size_t>(n));
            got += static_cast<uint32_t>(n);
            continue;
        }
        data_.clear();
        replies_.clear();
        session_->feed(std::string_view(chunk, static_cast<std::size_t>(n)), data_, replies_);
        std::memcpy(buffer + got, data_.data(), data_.size());
        got += static_cast<uint32_t>(data_.size());
        if (!replies_.empty())
            sendAll(replies_.data(), replies_.size());
    }
}

// Sends everything, waiting for room up to kSendTimeoutMs; a client that fails or takes
// nothing for that long is dropped (false).
bool NetworkEndpoint::sendAll(const char* bytes, std::size_t size)
{
    const ULONGLONG deadline = ::GetTickCount64() + kSendTimeoutMs;
    while (client_ && size > 0) {
        const int n = ::send(client_.get(), bytes, static_cast<int>(std::min<std::size_t>(size, 65536)), 0);
        if (n > 0) {
            bytes += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        const ULONGLONG now = ::GetTickCount64();
        if (::WSAGetLastError() != WSAEWOULDBLOCK || now >= deadline) {
            dropClient();
            return false;
        }
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(client_.get(), &writable);
        const ULONGLONG left = deadline - now;
        timeval wait{static_cast<long>(left / 1000), static_cast<long>((left % 1000) * 1000)};
        ::select(0, nullptr, &writable, nullptr, &wait);
    }
    return client_.valid();
}

void NetworkEndpoint::dropClient()
{
    if (!client_)
        return;
    client_.reset();
    session_.reset();
    const std::string text = std::move(clientText_);
    clientText_.clear();
    if (hooks_.clientDisconnected)
        hooks_.clientDisconnected(text);
}

uint32_t NetworkEndpoint::setBaudRate(uint32_t bitsPerSecond)
{
    if (hooks_.baudRateRequested)
        return hooks_.baudRateRequested(bitsPerSecond);
    ownRate_ = rateAfterRequest(bitsPerSecond, ownRate_);
    return ownRate_;
}

void NetworkEndpoint::purge(PurgeKind what)
{
    if (hooks_.purgeRequested)
        hooks_.purgeRequested(what);
}

} // namespace clser::network
