// The TCP end of a connection: listens on one address and port, serves one client at a
// time over RFC 2217 or raw TCP, and offers the transfer thread the same read and write
// calls a COM port does. A second client while one is served, and a client not on the
// allow list, is accepted and closed at once; a client that goes away leaves the
// endpoint listening for the next.
//
// read() runs on one thread at a time and write() on one thread at a time, but the two
// may run at once on two threads (the low-latency transfer reads on one and writes on
// the other): the client, its protocol state and every send are kept under one lock,
// which a read never holds while it waits. The hooks run inside read() and write(),
// under that lock.
#pragma once

#include "critical_section.h"
#include "network_settings.h"
#include "rfc2217_session.h"
#include "winsock_handles.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace clser::network {

struct EndpointHooks {
    // A client asks for a line rate in bits per second (0: only asks); returns the rate
    // in force afterwards. The owner sets the Camera Link rate when it changes it. When
    // absent, the endpoint keeps a rate of its own (rateAfterRequest, from 9600).
    std::function<uint32_t(uint32_t bitsPerSecond)> baudRateRequested;
    std::function<void(PurgeKind what)> purgeRequested;
    // The client's address as "a.b.c.d:port".
    std::function<void(const std::string& client)> clientConnected;
    std::function<void(const std::string& client)> clientDisconnected;
    // A client turned away, and why ("another client is connected", "not on the allow list").
    std::function<void(const std::string& client, const char* why)> clientRefused;
};

// read() and write() before open() succeeded.
inline constexpr int kEndpointNotOpen = -9;

class NetworkEndpoint : private Rfc2217Requests {
public:
    // wakeEvent (not owned, may be null): when signalled, a waiting read() returns at once.
    NetworkEndpoint(NetworkSettings settings, EndpointHooks hooks, HANDLE wakeEvent = nullptr);
    ~NetworkEndpoint() override;
    NetworkEndpoint(const NetworkEndpoint&) = delete;
    NetworkEndpoint& operator=(const NetworkEndpoint&) = delete;

    // Starts listening: 0, or a negative status (statusFromWinsockError; -100: the port
    // is taken).
    int open();
    // Drops the client (clientDisconnected is called) and stops listening.
    void close();

    // Waits up to timeoutMs for data bytes from the client, serving new clients and the
    // protocol meanwhile (replies go out at once); returns as soon as there is at least
    // one byte, when the time passes, or when the wake event is signalled. 0 with got
    // bytes (0 or more); a negative status only when listening fails. A client that
    // goes away is no failure.
    int read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs);
    // Sends camera bytes to the client (IAC doubled in RFC 2217 mode). Without a client
    // the bytes are dropped; written is always count and the status 0. A client that
    // takes nothing for kSendTimeoutMs is dropped.
    int write(const uint8_t* buffer, uint32_t count, uint32_t& written);

    bool hasClient() const;
    // "a.b.c.d:port" of the client served, empty without one.
    std::string clientAddress() const;
    // The port listened on (0 before open()).
    uint16_t listeningPort() const { return listeningPort_; }

    static constexpr uint32_t kSendTimeoutMs = 5000;

private:
    uint32_t setBaudRate(uint32_t bitsPerSecond) override;
    void purge(PurgeKind what) override;

    int acceptWaiting();
    void receive(uint8_t* buffer, uint32_t wanted, uint32_t& got);
    bool sendAll(const char* bytes, std::size_t size);
    void dropClient();

    NetworkSettings settings_;
    EndpointHooks hooks_;
    HANDLE wake_;
    WinsockLibrary winsock_;
    UniqueWsaEvent listenEvent_;
    UniqueWsaEvent clientEvent_;
    UniqueSocket listener_;
    UniqueSocket client_;
    std::string clientText_;
    std::optional<Rfc2217Session> session_;
    uint16_t listeningPort_ = 0;
    uint32_t ownRate_ = 9600;
    // Per call, bounded by the chunk sizes in the .cpp.
    std::string data_;
    std::string replies_;
    std::string escaped_;
    // The client and everything sent to it (see the top of this file).
    mutable CriticalSection clientLock_;
};

} // namespace clser::network
