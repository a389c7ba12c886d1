// The endpoint in this process, with a Winsock client of the test's own on the loopback
// (the end-to-end tests with real clients are network_endpoint_test.py), and the
// network keys read from a configuration file.
#include "network_config.h"
#include "network_endpoint.h"
#include "scratch_files.h"

#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace clser::network {
namespace {

constexpr uint32_t kGenerousMs = 30000;

struct Recorded {
    std::vector<std::string> events;
};

EndpointHooks recordingHooks(Recorded& r)
{
    EndpointHooks hooks;
    hooks.clientConnected = [&r](const std::string& c) { r.events.push_back("connected " + c); };
    hooks.clientDisconnected = [&r](const std::string& c) { r.events.push_back("disconnected " + c); };
    hooks.clientRefused = [&r](const std::string& c, const char* why) {
        r.events.push_back("refused " + c + " " + why);
    };
    hooks.baudRateRequested = [&r](uint32_t asked) {
        r.events.push_back("rate " + std::to_string(asked));
        return asked == 0 ? 9600u : asked;
    };
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

UniqueSocket connectedClient(uint16_t port)
{
    UniqueSocket s(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
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

bool readUntil(NetworkEndpoint& endpoint, const Recorded& r, const std::string& eventStart)
{
    const ULONGLONG deadline = ::GetTickCount64() + kGenerousMs;
    while (::GetTickCount64() < deadline) {
        for (const std::string& e : r.events)
            if (e.rfind(eventStart, 0) == 0)
                return true;
        uint8_t buf[64];
        uint32_t got = 0;
        if (endpoint.read(buf, sizeof buf, got, 200) != 0)
            return false;
    }
    return false;
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
    const std::string replies = "\xff\xfd\x2c" "\xff\xfa\x2c\x6b\xb0\xff\xf0" "\xff\xfa\x2c\x65\x00\x01\xc2\x00\xff\xf0"s;
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

TEST(NetworkConfig, ReadsValuesLongerThanTheCommonReaderTakes)
{
    const std::string path = test::scratchPath("network_config_test.ini");
    std::string allow;
    for (int i = 1; i <= 16; ++i)
        allow += "192.168.100." + std::to_string(100 + i) + (i < 16 ? ", " : "");
    ASSERT_TRUE(test::writeTextFile(path, "[connection1]\r\ncom=5\r\nnetport=40001\r\nnetaddress=0.0.0.0\r\n"
                                          "netprotocol=raw\r\nnetallow=" + allow + "\r\n"
                                          "[connection2]\r\ncom=6\r\n"
                                          "[connection3]\r\nnetport=40003\r\nnetallow=" + std::string(600, '1') + "\r\n"));
    const NetworkSettingsParse first = readNetworkSettings(path, "connection1");
    EXPECT_TRUE(first.configured) << first.error;
    EXPECT_EQ(first.settings.port, 40001);
    EXPECT_EQ(first.settings.listenAddress, kAnyAddress);
    EXPECT_EQ(first.settings.protocol, NetProtocol::Raw);
    ASSERT_EQ(first.settings.allowed.size(), 16u);
    EXPECT_EQ(ipv4AddressText(first.settings.allowed[15]), "192.168.100.116");

    const NetworkSettingsParse second = readNetworkSettings(path, "connection2");
    EXPECT_FALSE(second.configured);
    EXPECT_EQ(second.error, "") << "a section without network keys is a COM port pair's";

    EXPECT_EQ(readNetworkSettings(path, "connection3").error, "netallow: the value is too long");
    ::DeleteFileA(path.c_str());
}

} // namespace
} // namespace clser::network
