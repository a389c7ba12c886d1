// The endpoint in this process, with a Winsock client of the test's own on the loopback
// (the end-to-end tests with real clients are network_endpoint_test.py), and the
// network keys read from a configuration file.
#include "network_settings.h"
#include "network_endpoint.h"
#include "scratch_files.h"
#include "telnet_bytes.h"
#include "wait_until.h"

#include <ws2tcpip.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace std::string_literals;

namespace clser::network {
namespace {

constexpr uint32_t kGenerousMs = 30000;

struct Recorded {
    std::vector<std::string> events;
    std::vector<std::string> rateLines;
};

EndpointHooks recordingHooks(Recorded& r)
{
    EndpointHooks hooks;
    hooks.clientConnected = [&r](const std::string& c) { r.events.push_back("connected " + c); };
    hooks.clientDisconnected = [&r](const std::string& c, const std::string& why) {
        r.events.push_back("disconnected " + c + (why.empty() ? "" : " (" + why + ")"));
    };
    hooks.refusalsHeldBack = [&r](uint32_t count) { r.events.push_back("held back " + std::to_string(count)); };
    hooks.clientRefused = [&r](const std::string& c, const char* why) {
        r.events.push_back("refused " + c + " " + why);
    };
    hooks.baudRateRequested = [&r](uint32_t asked, std::string& line) {
        r.events.push_back("rate " + std::to_string(asked));
        line = asked == 0 ? "" : "set to " + std::to_string(asked);
        return asked == 0 ? 9600u : asked;
    };
    hooks.rateReported = [&r](const std::string& line) { r.rateLines.push_back(line); };
    hooks.rateReportsHeldBack = [&r](uint32_t count) { r.events.push_back("rate lines held back " + std::to_string(count)); };
    return hooks;
}

// Port 0: the system chooses a free one, which listeningPort() tells.
NetworkSettings onAnyFreePort(NetProtocol protocol)
{
    NetworkSettings s;
    s.port = 0;
    s.protocol = protocol;
    return s;
}

UniqueSocket connectedClient(uint16_t port, int receiveBuffer = 0)
{
    UniqueSocket s(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (s && receiveBuffer > 0)
        ::setsockopt(s.get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof receiveBuffer);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(kLoopbackAddress);
    if (!s || ::connect(s.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0)
        return {};
    DWORD wait = kGenerousMs;
    ::setsockopt(s.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
    return s;
}

std::string receiveExactly(SOCKET s, std::size_t count)
{
    std::string got;
    char buf[256];
    while (got.size() < count) {
        const int n = ::recv(s, buf, static_cast<int>(std::min(sizeof buf, count - got.size())), 0);
        if (n <= 0)
            break;
        got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
}

// Reads until the endpoint has given `count` data bytes or the bound passes.
std::string readFromEndpoint(NetworkEndpoint& endpoint, std::size_t count)
{
    std::string data;
    const ULONGLONG deadline = ::GetTickCount64() + kGenerousMs;
    while (data.size() < count && ::GetTickCount64() < deadline) {
        uint8_t buf[64];
        uint32_t got = 0;
        if (endpoint.read(buf, sizeof buf, got, 200) != 0)
            break;
        data.append(reinterpret_cast<const char*>(buf), got);
    }
    return data;
}

// Serves the endpoint as the transfer thread does until done() holds or the bound passes.
bool serveUntil(NetworkEndpoint& endpoint, const std::function<bool()>& done)
{
    const ULONGLONG deadline = ::GetTickCount64() + kGenerousMs;
    while (::GetTickCount64() < deadline) {
        if (done())
            return true;
        uint8_t buf[64];
        uint32_t got = 0;
        if (endpoint.read(buf, sizeof buf, got, 200) != 0)
            return false;
    }
    return false;
}

bool readUntil(NetworkEndpoint& endpoint, const Recorded& r, const std::string& eventStart)
{
    return serveUntil(endpoint, [&] {
        for (const std::string& e : r.events)
            if (e.rfind(eventStart, 0) == 0)
                return true;
        return false;
    });
}

TEST(NetworkEndpoint, ServesOneRfc2217ClientAndNoticesItLeave)
{
    WinsockLibrary winsock;
    Recorded r;
    NetworkEndpoint endpoint(onAnyFreePort(NetProtocol::Rfc2217), recordingHooks(r));
    ASSERT_EQ(endpoint.open(), 0);
    ASSERT_NE(endpoint.listeningPort(), 0);

    UniqueSocket client = connectedClient(endpoint.listeningPort());
    ASSERT_TRUE(client);
    const std::string opening = "\xff\xfb\x2c" "\xff\xfa\x2c\x01\x00\x01\xc2\x00\xff\xf0" "ID?\xff\xff\r"s;
    ASSERT_EQ(::send(client.get(), opening.data(), static_cast<int>(opening.size()), 0), static_cast<int>(opening.size()));
    EXPECT_EQ(readFromEndpoint(endpoint, 5), "ID?\xff\r");
    EXPECT_TRUE(endpoint.hasClient());
    EXPECT_EQ(endpoint.clientAddress().rfind("127.0.0.1:", 0), 0u) << endpoint.clientAddress();
    const std::string replies = "\xff\xfb\x00\xff\xfd\x00" "\xff\xfd\x2c" "\xff\xfa\x2c\x6b\xb0\xff\xf0" "\xff\xfa\x2c\x65\x00\x01\xc2\x00\xff\xf0"s;
    EXPECT_EQ(receiveExactly(client.get(), replies.size()), replies);

    uint32_t written = 0;
    const uint8_t camera[] = {'O', 'K', 0xFF, '\r'};
    EXPECT_EQ(endpoint.write(camera, sizeof camera, written), 0);
    EXPECT_EQ(written, sizeof camera);
    EXPECT_EQ(receiveExactly(client.get(), 5), "OK\xff\xff\r");

    // A second client while the first is served: closed at once.
    UniqueSocket second = connectedClient(endpoint.listeningPort());
    ASSERT_TRUE(second);
    EXPECT_TRUE(readUntil(endpoint, r, "refused 127.0.0.1:"));
    char byte;
    EXPECT_LE(::recv(second.get(), &byte, 1, 0), 0);

    client.reset();
    EXPECT_TRUE(readUntil(endpoint, r, "disconnected 127.0.0.1:"));
    EXPECT_FALSE(endpoint.hasClient());
    ASSERT_GE(r.events.size(), 4u);
    EXPECT_EQ(r.events[0].rfind("connected 127.0.0.1:", 0), 0u);
    EXPECT_EQ(r.events[1], "rate 115200");
    EXPECT_NE(r.events[2].find("another client is connected"), std::string::npos) << r.events[2];
}

TEST(NetworkEndpoint, EdgesOfItsLife)
{
    WinsockLibrary winsock;
    Recorded r;
    UniqueHandle wake(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    NetworkEndpoint endpoint(onAnyFreePort(NetProtocol::Raw), recordingHooks(r), wake.get());
    uint8_t buf[16] = {1, 2, 3};
    uint32_t count = 0;
    EXPECT_EQ(endpoint.read(buf, sizeof buf, count, 0), kEndpointNotOpen) << "read before open";
    EXPECT_EQ(endpoint.write(buf, 3, count), kEndpointNotOpen) << "write before open";

    ASSERT_EQ(endpoint.open(), 0);
    EXPECT_EQ(endpoint.write(buf, 3, count), 0) << "without a client the bytes are dropped";
    EXPECT_EQ(count, 3u);

    // The wake event ends a wait long before its time-out.
    ::SetEvent(wake.get());
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(endpoint.read(buf, sizeof buf, count, 10 * kGenerousMs), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_LT(::GetTickCount64() - start, ULONGLONG{kGenerousMs}) << "the wake event ended the read";

    // Another endpoint on the same port: the port is taken.
    NetworkSettings same = onAnyFreePort(NetProtocol::Raw);
    same.port = endpoint.listeningPort();
    NetworkEndpoint second(same, {});
    EXPECT_EQ(second.open(), -100);
    EXPECT_TRUE(r.events.empty());
}

size_t countContaining(const std::vector<std::string>& events, const std::string& part)
{
    size_t n = 0;
    for (const std::string& e : events)
        n += e.find(part) != std::string::npos;
    return n;
}

bool sendText(SOCKET s, const std::string& text)
{
    return ::send(s, text.data(), static_cast<int>(text.size()), 0) == static_cast<int>(text.size());
}

// What a client gets until the endpoint closes its side (or the receive time-out passes).
std::string receiveUntilClosed(SOCKET s)
{
    std::string got;
    char buf[256];
    int n;
    while ((n = ::recv(s, buf, sizeof buf, 0)) > 0)
        got.append(buf, static_cast<std::size_t>(n));
    return got;
}

// A peer the endpoint does not control, on a thread of its own; `held` keeps a client
// connected after the peer's part is done.
struct Peer {
    uint16_t port = 0;
    const NetworkEndpoint* endpoint = nullptr;
    UniqueSocket held;
    std::string got;  // what the peer received, where the row looks at it
    std::size_t grew = 0;  // what the process's private bytes grew while it acted, where the row looks
};

struct HostilePeerRow {
    const char* shows;
    NetProtocol protocol;
    bool takeover;
    bool cameraStreams;                  // the transfer sends camera bytes on every pass
    bool holdsPort;                      // the peer's held client keeps the next one out
    std::function<void(Peer&)> act;
    std::string dataForCamera;           // what the reads deliver of the peer's bytes
    std::string peerGets;                // what the peer must have received
    const char* event;                   // a part of an event of the endpoint's that must have come
};

constexpr EndpointTimings kShortBounds{500, 500, 10000, 1000};

// The endpoint serves as the transfer thread does, while a hostile peer acts and another
// thread asks for the status; then a well-behaved client must be served.
TEST(NetworkEndpoint, NoHostilePeerHoldsTheCallersOrThePort)
{
    using namespace std::chrono;
    using namespace clser::test;
    using clser::test::waitUntil;
    const std::string stream(65536, 'c');
    const HostilePeerRow rows[] = {
        {"stops reading while the camera streams", NetProtocol::Raw, false, true, false,
         [](Peer& p) {
             UniqueSocket s = connectedClient(p.port, 4096);
             waitUntil([&] { return p.endpoint->hasClient(); }, milliseconds(kGenerousMs));
             waitUntil([&] { return !p.endpoint->hasClient(); }, milliseconds(kGenerousMs));
         },
         "", "", "(took nothing for 500 ms)"},
        {"floods telnet NOPs", NetProtocol::Rfc2217, false, false, false,
         [](Peer& p) {
             UniqueSocket s = connectedClient(p.port);
             std::string nops;
             for (int i = 0; i < 4096; ++i)
                 nops += bytes({IAC, 241});
             const auto end = steady_clock::now() + 500ms;
             while (steady_clock::now() < end && sendText(s.get(), nops)) {
             }
         },
         "", "", "disconnected 127.0.0.1:"},
        {"sends an endless subnegotiation", NetProtocol::Rfc2217, false, false, false,
         [](Peer& p) {
             UniqueSocket s = connectedClient(p.port);
             sendText(s.get(), bytes({IAC, SB, COM_PORT, 1}));
             const auto end = steady_clock::now() + 500ms;
             while (steady_clock::now() < end && sendText(s.get(), std::string(8192, 'x'))) {
             }
         },
         "", "", "disconnected 127.0.0.1:"},
        {"200 connections in a burst beside the client served", NetProtocol::Raw, false, false, true,
         [](Peer& p) {
             p.held = connectedClient(p.port);
             waitUntil([&] { return p.endpoint->hasClient(); }, milliseconds(kGenerousMs));
             for (int i = 0; i < 200; ++i)
                 connectedClient(p.port);
         },
         "", "", "held back "},
        {"ends its sending side after a command", NetProtocol::Raw, false, false, false,
         [](Peer& p) {
             UniqueSocket s = connectedClient(p.port);
             sendText(s.get(), "ID?\r");
             ::shutdown(s.get(), SD_SEND);
             p.got = receiveUntilClosed(s.get());
         },
         "ID?\r", "CAM\r\n", "(it ended its sending and the camera was quiet for 500 ms)"},
        {"stays connected, takeover on", NetProtocol::Raw, true, false, false,
         [](Peer& p) {
             p.held = connectedClient(p.port);
             waitUntil([&] { return p.endpoint->hasClient(); }, milliseconds(kGenerousMs));
         },
         "", "", "(taken over by 127.0.0.1:"},
        {"takes the port over within a second of the last, takeover on", NetProtocol::Raw, true, false, false,
         [](Peer& p) {
             p.held = connectedClient(p.port);
             waitUntil([&] { return p.endpoint->hasClient(); }, milliseconds(kGenerousMs));
             connectedClient(p.port);
         },
         "", "", "the client served came less than 1 s ago"},
        {"toggles the COM port option while reading slowly", NetProtocol::Rfc2217, false, false, false,
         [](Peer& p) {
             UniqueSocket s = connectedClient(p.port);
             u_long nonBlocking = 1;
             ::ioctlsocket(s.get(), FIONBIO, &nonBlocking);
             std::string toggles, piece(65536, '\0');
             for (int i = 0; i < 8192; ++i)
                 toggles += negotiation(WILL, COM_PORT) + negotiation(WONT, COM_PORT);
             PROCESS_MEMORY_COUNTERS before{}, after{};
             ::GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof before);
             // A read every 100 ms keeps the endpoint's sending moving, far slower than it is sent to.
             for (auto now = steady_clock::now(), end = now + 4s, read = now; now < end; now = steady_clock::now()) {
                 ::send(s.get(), toggles.data(), static_cast<int>(toggles.size()), 0);
                 if (now >= read) {
                     ::recv(s.get(), piece.data(), static_cast<int>(piece.size()), 0);
                     read = now + 100ms;
                 }
                 std::this_thread::sleep_for(1ms);
             }
             ::GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof after);
             p.grew = std::max(after.PagefileUsage, before.PagefileUsage) - before.PagefileUsage;
         },
         "", "", "disconnected 127.0.0.1:"},
        {"asks for a rate a hundred times at once", NetProtocol::Rfc2217, false, false, false,
         [](Peer& p) {
             UniqueSocket s = connectedClient(p.port);
             std::string requests;
             for (int i = 0; i < 100; ++i)
                 requests += i % 2 == 0 ? comPort(1, {0, 0, 0x25, 0x80}) : comPort(1, {0, 1, 0xC2, 0});
             sendText(s.get(), requests);
             receiveExactly(s.get(), 6 + 100 * 10);
         },
         "", "", "rate lines held back 99"},
        {"stays connected, takeover off", NetProtocol::Raw, false, false, true,
         [](Peer& p) { p.held = connectedClient(p.port); }, "", "", "refused 127.0.0.1:"},
        {"ends its sending and stays, takeover off", NetProtocol::Raw, false, false, false,
         [](Peer& p) {
             p.held = connectedClient(p.port);
             ::shutdown(p.held.get(), SD_SEND);
         },
         "", "", "(it ended its sending and a new client came)"},
    };
    WinsockLibrary winsock;
    for (const HostilePeerRow& row : rows) {
        SCOPED_TRACE(row.shows);
        Recorded r;
        NetworkSettings settings = onAnyFreePort(row.protocol);
        settings.takeover = row.takeover;
        NetworkEndpoint endpoint(settings, recordingHooks(r), nullptr, kShortBounds);
        ASSERT_EQ(endpoint.open(), 0);
        Peer peer;
        peer.port = endpoint.listeningPort();
        peer.endpoint = &endpoint;

        std::atomic<bool> peerDone{false};
        std::atomic<bool> stop{false};
        std::atomic<long long> slowestStatusMs{0};
        std::thread status([&] {
            while (!stop) {
                const auto start = steady_clock::now();
                endpoint.clientAddress();
                const long long ms = duration_cast<milliseconds>(steady_clock::now() - start).count();
                if (ms > slowestStatusMs)
                    slowestStatusMs = ms;
                std::this_thread::sleep_for(5ms);
            }
        });
        std::thread hostile([&] {
            row.act(peer);
            peerDone = true;
        });

        // Serve until the peer's part is done and a little after, as the transfer thread
        // would: reads of 100 ms, camera bytes written when the row says so.
        std::string data;
        long long slowestReadMs = 0;
        long long slowestWriteMs = 0;
        bool answered = false;
        const auto bound = steady_clock::now() + milliseconds(kGenerousMs);
        std::optional<steady_clock::time_point> doneAt;
        while (steady_clock::now() < bound) {
            // Done when the peer has acted and, unless it holds its connection, has left;
            // after refusals or rate lines a little longer, for the line of those held back.
            if (peerDone && !doneAt)
                doneAt = steady_clock::now();
            // With takeover, until the held client has been served a second.
            const bool throttled = countContaining(r.events, "refused ") + r.rateLines.size() > 0;
            const auto linger = throttled || row.takeover ? 1200ms : 0ms;
            if (doneAt && steady_clock::now() >= *doneAt + linger && (peer.held || !endpoint.hasClient()))
                break;
            uint8_t buf[1024];
            uint32_t got = 0;
            auto start = steady_clock::now();
            ASSERT_EQ(endpoint.read(buf, sizeof buf, got, 100), 0);
            slowestReadMs = std::max<long long>(slowestReadMs, duration_cast<milliseconds>(steady_clock::now() - start).count());
            data.append(reinterpret_cast<const char*>(buf), got);
            uint32_t written = 0;
            start = steady_clock::now();
            // A MiB a pass: the system's send buffer for the client (it grows to a few MiB)
            // fills within seconds.
            for (int i = 0; i < 16 && row.cameraStreams && endpoint.hasClient(); ++i)
                // A client that takes nothing fails these writes: the row's outcome says so.
                static_cast<void>(endpoint.write(reinterpret_cast<const uint8_t*>(stream.data()),
                                                 static_cast<uint32_t>(stream.size()), written));
            if (!answered && data == "ID?\r") {
                std::this_thread::sleep_for(200ms);  // the camera's answer comes after the client's half-close
                EXPECT_EQ(endpoint.write(reinterpret_cast<const uint8_t*>("CAM\r\n"), 5, written), 0);
                answered = true;
            }
            slowestWriteMs = std::max<long long>(slowestWriteMs, duration_cast<milliseconds>(steady_clock::now() - start).count());
        }
        hostile.join();
        // Loose bounds for a loaded machine, below what a wait on the peer would cost (the
        // stalled-client bound and more).
        EXPECT_LT(slowestReadMs, 500) << "a read of 100 ms";
        EXPECT_LT(slowestWriteMs, kShortBounds.stalledClientMs + 1500) << "a write";
        if (!row.dataForCamera.empty()) {
            EXPECT_EQ(data, row.dataForCamera);
        }
        EXPECT_EQ(peer.got, row.peerGets);
        EXPECT_LE(countContaining(r.events, "refused "), 3u) << "at most one refusal line a second";
        EXPECT_LE(r.rateLines.size(), 3u) << "at most one rate line a second";
        EXPECT_LT(peer.grew, std::size_t{2} << 20) << "the endpoint's memory stays flat";

        // The next client is served (with takeover at once, otherwise once the held one left).
        UniqueSocket next = connectedClient(peer.port);
        ASSERT_TRUE(next);
        if (row.holdsPort) {
            u_long nonBlocking = 1;
            ::ioctlsocket(next.get(), FIONBIO, &nonBlocking);
            EXPECT_TRUE(serveUntil(endpoint, [&] {
                char byte;
                return ::recv(next.get(), &byte, 1, 0) == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK;
            })) << "the new client is closed while the first is held";
            peer.held.reset();
            ASSERT_TRUE(readUntil(endpoint, r, "disconnected "));
            next = connectedClient(peer.port);
        }
        ASSERT_TRUE(sendText(next.get(), "next\r"));
        EXPECT_EQ(readFromEndpoint(endpoint, 5), "next\r");
        uint32_t written = 0;
        EXPECT_EQ(endpoint.write(reinterpret_cast<const uint8_t*>("ok"), 2, written), 0);
        const std::string opening =
            row.protocol == NetProtocol::Rfc2217 ? negotiation(WILL, BINARY) + negotiation(DO, BINARY) : "";
        EXPECT_EQ(receiveExactly(next.get(), opening.size() + 2), opening + "ok");
        if (peer.held && !row.holdsPort) {
            char byte;
            EXPECT_LE(::recv(peer.held.get(), &byte, 1, 0), 0) << "the old client was closed";
        }
        stop = true;
        status.join();
        EXPECT_LT(slowestStatusMs.load(), 450) << "a status query";
        EXPECT_GE(countContaining(r.events, row.event), 1u) << ::testing::PrintToString(r.events);
    }
}

} // namespace
} // namespace clser::network
