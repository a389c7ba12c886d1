// The TCP end of a connection: listens on one address and port, serves one client at a
// time over RFC 2217 or raw TCP, and offers the transfer thread the same read and write
// calls a COM port does. A second client while one is served, and a client not on the
// allow list, is accepted and closed at once (or, with takeover, the new client replaces
// the one served); a client that goes away, or has ended its sending when the next one
// comes, leaves the endpoint to the next.
//
// No peer can hold the endpoint's callers: read() returns by its time-out or at the wake
// event whatever the client sends, write() never waits on the client while holding a
// lock and gives up on a client whose sending made no progress for the stalled-client
// bound, and while too many bytes wait for the client its own bytes are not taken, so
// that TCP holds it back whatever it sends. The client's address is a snapshot that a
// status query reads under a lock of its own. read() runs on one thread at a time and write() on one thread at a time,
// but the two may run at once (the low-latency transfer reads on one thread and writes on
// the other): the client, its protocol state and the bytes waiting for it are kept under
// one lock that is never held across a wait. The hooks run inside read() and write(),
// under that lock.
#pragma once

#include "critical_section.h"
#include "endpoint_timings.h"
#include "line_throttle.h"
#include "network_settings.h"
#include "newcomer_decision.h"
#include "rfc2217_session.h"
#include "unique_event.h"
#include "winsock_handles.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace clser::network {

struct EndpointHooks {
    // A client asks for a line rate in bits per second (0: only asks); returns the rate
    // in force afterwards. The owner sets the Camera Link rate whenever it changes it, and
    // puts in line what the trace should tell of the change or its failure (nothing for a
    // query). When absent, the endpoint keeps a rate of its own (rateAfterRequest, from
    // 9600).
    std::function<uint32_t(uint32_t bitsPerSecond, std::string& line)> baudRateRequested;
    std::function<void(PurgeKind what)> purgeRequested;
    // The client's address as "a.b.c.d:port".
    std::function<void(const std::string& client)> clientConnected;
    // why: empty when the client closed the connection, else what ended it.
    std::function<void(const std::string& client, const std::string& why)> clientDisconnected;
    // A client turned away, and why ("another client is connected", "not on the allow list").
    std::function<void(const std::string& client, const char* why)> clientRefused;
    // Refusals that got no line of their own (at most one refusal line a second).
    std::function<void(uint32_t count)> refusalsHeldBack;
    // The lines of rate requests: at most one a second, the others counted.
    std::function<void(const std::string& line)> rateReported;
    std::function<void(uint32_t count)> rateReportsHeldBack;
};

// read() and write() before open() succeeded.
inline constexpr int kEndpointNotOpen = -9;

class NetworkEndpoint : private Rfc2217Requests {
public:
    // wakeEvent (not owned, may be null): when signalled, a waiting read() returns at once.
    NetworkEndpoint(NetworkSettings settings, EndpointHooks hooks, HANDLE wakeEvent = nullptr,
                    EndpointTimings timings = {});
    ~NetworkEndpoint() override;
    NetworkEndpoint(const NetworkEndpoint&) = delete;
    NetworkEndpoint& operator=(const NetworkEndpoint&) = delete;

    // Starts listening: 0, or a negative status (statusFromWinsockError; -100: the port
    // is taken).
    [[nodiscard]] int open();
    // Drops the client (clientDisconnected is called) and stops listening.
    void close();
    // Ends every wait of read() and write() at once, and keeps them from waiting until
    // the next open(): the connection is stopping. Any thread.
    void interrupt();

    // Waits up to timeoutMs (INFINITE: no bound) for data bytes from the client, serving
    // new clients and the protocol meanwhile; returns as soon as there is at least one
    // byte, when the time passes, or when the wake event is signalled. 0 with got bytes
    // (0 or more); a negative status only when listening fails. A client that goes away
    // is no failure.
    [[nodiscard]] int read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs);
    // Hands camera bytes to the client (IAC doubled in RFC 2217 mode), waiting while too
    // many are still on their way to it. Without a client the bytes are dropped; written
    // is always count and the status 0. A client whose sending makes no progress for the
    // stalled-client bound is dropped.
    [[nodiscard]] int write(const uint8_t* buffer, uint32_t count, uint32_t& written);

    bool hasClient() const;
    // "a.b.c.d:port" of the client served, empty without one. Never waits on the client.
    std::string clientAddress() const;
    // The port listened on (0 before open()).
    uint16_t listeningPort() const { return listeningPort_; }

    // Bytes held for the client beyond what its socket took; write() waits, and read()
    // takes nothing from the client, while this many are held.
    static constexpr std::size_t kOutboxLimit = 65536;

private:
    uint32_t setBaudRate(uint32_t bitsPerSecond) override;
    void purge(PurgeKind what) override;

    int acceptWaiting(uint64_t nowMs);
    void serve(UniqueSocket incoming, const std::string& text, uint64_t nowMs);
    bool receive(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint64_t nowMs);
    // Looks at the served client's socket (error: the failure's Winsock error).
    ServedClient servedClient(int& error);
    // Takes the client's bytes, or (while its outbox is full) waits only for room.
    void selectClientEvents(bool receiving);
    void queueForClient(const char* bytes, std::size_t size, uint64_t nowMs);
    void flush(uint64_t nowMs);
    // Drops the client once a bound it is kept to has run out; the milliseconds until the
    // next bound otherwise (INFINITE: none).
    uint32_t checkBounds(uint64_t nowMs);
    void dropClient(const std::string& why);
    void publish(const std::string& client);
    // Tells the counts of lines held back once due; the milliseconds until the next is due
    // (0: none held back).
    uint64_t reportHeldBackLines(uint64_t nowMs);

    NetworkSettings settings_;
    EndpointHooks hooks_;
    HANDLE wake_;
    EndpointTimings timings_;
    WinsockLibrary winsock_;
    UniqueWsaEvent listenEvent_;
    UniqueWsaEvent clientEvent_;
    UniqueEvent interrupt_;
    UniqueSocket listener_;
    std::atomic<bool> listening_{false};
    uint16_t listeningPort_ = 0;
    uint32_t ownRate_ = 9600;
    LineThrottle refusals_;
    LineThrottle rateLines_;

    // Under clientLock_: the client, its protocol state and what waits to be sent to it.
    UniqueSocket client_;
    std::string clientText_;
    std::optional<Rfc2217Session> session_;
    // Counts the clients served, so that a write that waited knows the one it wrote for.
    uint64_t clientNumber_ = 0;
    uint64_t servedSinceMs_ = 0;
    // The client's socket signals readable data (false while its outbox is full).
    bool receiving_ = true;
    std::string outbox_;
    // When the bytes in outbox_ last moved (or began to wait).
    uint64_t lastProgressMs_ = 0;
    // The client ended its sending side: it is no longer read, only sent to.
    bool halfClosed_ = false;
    // When the camera's bytes last came for the half-closed client (or it half-closed).
    uint64_t lastCameraBytesMs_ = 0;
    // Per call, bounded by the chunk sizes in the .cpp.
    std::string data_;
    std::string replies_;
    std::string escaped_;
    std::string rateLine_;
    mutable CriticalSection clientLock_;

    // The client's address as a status query reads it.
    std::string snapshot_;
    mutable CriticalSection snapshotLock_;
};

} // namespace clser::network
