// A console host of the network endpoint with a fake camera that sends every data byte
// straight back. Each event goes to standard output as one line, for the tests that
// drive the host with real clients:
//   listening 127.0.0.1:4001 rfc2217
//   connected 127.0.0.1:50312 | disconnected ... | refused 127.0.0.1:50313 (why)
//   rate asked 115200 in force 115200
//   purge 1
//
//   network_echo_host.exe PORT [raw|rfc2217] [--address=A.B.C.D] [ALLOWED-ADDRESS ...]
//
// Runs until it is ended; exits 2 on a bad command line, 1 when it cannot listen.
#include "baud_rate_choice.h"
#include "network_endpoint.h"
#include "network_keys.h"

#include <cstdio>
#include <string>
#include <string_view>

using namespace clser::network;
using clser::profile::NetworkSectionValues;
using clser::profile::parseNetworkSection;

namespace {

void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

int usage(const std::string& why)
{
    std::fprintf(stderr, "network_echo_host: %s\nusage: network_echo_host PORT [raw|rfc2217] [--address=A.B.C.D] "
                         "[ALLOWED-ADDRESS ...]\n",
                 why.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage("no port");
    // The same checks the configuration file's values get.
    NetworkSectionValues values;
    values.netport = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "raw" || arg == "rfc2217")
            values.netprotocol = std::string(arg);
        else if (arg.rfind("--address=", 0) == 0)
            values.netaddress = std::string(arg.substr(10));
        else
            values.netallow += std::string(arg) + " ";
    }
    const NetworkSettingsParse parsed = parseNetworkSection(values);
    if (!parsed.configured)
        return usage(parsed.error);

    uint32_t rateInForce = 9600;
    EndpointHooks hooks;
    hooks.baudRateRequested = [&rateInForce](uint32_t asked, std::string&) {
        rateInForce = rateAfterRequest(asked, rateInForce);
        say("rate asked " + std::to_string(asked) + " in force " + std::to_string(rateInForce));
        return rateInForce;
    };
    hooks.purgeRequested = [](PurgeKind what) { say("purge " + std::to_string(static_cast<int>(what))); };
    hooks.clientConnected = [](const std::string& client) { say("connected " + client); };
    hooks.clientDisconnected = [](const std::string& client, const std::string& why) {
        say("disconnected " + client + (why.empty() ? "" : " (" + why + ")"));
    };
    hooks.clientRefused = [](const std::string& client, const char* why) {
        say("refused " + client + " (" + why + ")");
    };

    NetworkEndpoint endpoint(parsed.settings, hooks);
    const int status = endpoint.open();
    if (status != 0) {
        std::fprintf(stderr, "network_echo_host: cannot listen on %s:%u (status %d)\n",
                     ipv4AddressText(parsed.settings.listenAddress).c_str(), parsed.settings.port, status);
        return 1;
    }
    say("listening " + ipv4AddressText(parsed.settings.listenAddress) + ":" +
        std::to_string(endpoint.listeningPort()) +
        (parsed.settings.protocol == NetProtocol::Raw ? " raw" : " rfc2217"));

    uint8_t camera[4096];
    for (;;) {
        uint32_t got = 0;
        const int readStatus = endpoint.read(camera, sizeof camera, got, 200);
        if (readStatus != 0) {
            std::fprintf(stderr, "network_echo_host: read failed (status %d)\n", readStatus);
            return 1;
        }
        uint32_t written = 0;
        // A client that fails a write is dropped by the endpoint; the next read serves
        // whoever comes next.
        if (got > 0)
            static_cast<void>(endpoint.write(camera, got, written));
    }
}
