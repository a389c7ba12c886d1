// The network settings' values and the command-line word that carries them,
// the line-rate choice, the statuses of Winsock errors and who gets the port.
#include "baud_rate_choice.h"
#include "line_rates.h"
#include "network_settings.h"
#include "newcomer_decision.h"
#include "winsock_error_status.h"

#include <gtest/gtest.h>

#include <string>

namespace clser::network {
namespace {

constexpr uint32_t ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) { return (a << 24) | (b << 16) | (c << 8) | d; }

TEST(Ipv4Address, DottedDecimalOnly)
{
    const struct {
        const char* text;
        bool valid;
        uint32_t address;
    } cases[] = {
        {"127.0.0.1", true, ip(127, 0, 0, 1)},
        {"0.0.0.0", true, 0},
        {"255.255.255.255", true, ip(255, 255, 255, 255)},
        {"192.168.10.200", true, ip(192, 168, 10, 200)},
        {"256.0.0.1", false, 0},
        {"1.2.3", false, 0},
        {"1.2.3.4.5", false, 0},
        {"1.2.3.", false, 0},
        {".1.2.3", false, 0},
        {"1..2.3", false, 0},
        {"01.2.3.4", false, 0},
        {"1.2.3.4 ", false, 0},
        {"-1.2.3.4", false, 0},
        {"1.2.3.1000", false, 0},
        {"localhost", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        const auto parsed = parseIpv4Address(c.text);
        EXPECT_EQ(parsed.has_value(), c.valid) << c.text;
        if (parsed) {
            EXPECT_EQ(*parsed, c.address) << c.text;
            EXPECT_EQ(ipv4AddressText(*parsed), c.text);
        }
    }
}

TEST(NetworkSection, AllowListDecidesWhoMayConnect)
{
    NetworkSettings open;
    EXPECT_TRUE(clientAllowed(open, ip(192, 168, 1, 9)));
    NetworkSettings listed;
    listed.allowed = {ip(10, 0, 0, 5), ip(127, 0, 0, 1)};
    EXPECT_TRUE(clientAllowed(listed, ip(127, 0, 0, 1)));
    EXPECT_FALSE(clientAllowed(listed, ip(10, 0, 0, 6)));
}

TEST(Newcomer, GetsThePortUnlessALiveClientHoldsIt)
{
    const struct {
        const char* shows;
        ServedClient served;
        bool takeover;
        NewcomerOutcome outcome;
    } rows[] = {
        {"a live client holds it", ServedClient::Serving, false, NewcomerOutcome::Refused},
        {"a failed client gives way", ServedClient::Failed, false, NewcomerOutcome::ServedInPlace},
        {"a failed client gives way at once, takeover on", ServedClient::Failed, true, NewcomerOutcome::ServedInPlace},
    };
    for (const auto& row : rows)
        EXPECT_EQ(decideNewcomer(row.served, 0, row.takeover, true).outcome, row.outcome) << row.shows;
}

TEST(NetworkWord, FormatsAndReadsBackInAnyLetterCase)
{
    const struct {
        const char* name;
        NetworkSettings settings;
        const char* word;
    } cases[] = {
        {"defaults", {4001, kLoopbackAddress, NetProtocol::Rfc2217, {}}, "NETWORK=RFC2217:127.0.0.1:4001"},
        {"raw on every interface", {2217, kAnyAddress, NetProtocol::Raw, {}}, "NETWORK=RAW:0.0.0.0:2217"},
        {"one allowed client", {1, kLoopbackAddress, NetProtocol::Rfc2217, {ip(10, 1, 2, 3)}},
         "NETWORK=RFC2217:127.0.0.1:1:10.1.2.3"},
        {"two allowed clients", {65535, ip(192, 168, 0, 1), NetProtocol::Raw, {ip(10, 0, 0, 5), ip(10, 0, 0, 6)}},
         "NETWORK=RAW:192.168.0.1:65535:10.0.0.5+10.0.0.6"},
        {"takeover", {4001, kLoopbackAddress, NetProtocol::Rfc2217, {}, true}, "NETWORK=RFC2217:127.0.0.1:4001:TAKEOVER"},
        {"allowed client and takeover", {2217, kAnyAddress, NetProtocol::Raw, {ip(10, 0, 0, 5)}, true},
         "NETWORK=RAW:0.0.0.0:2217:10.0.0.5:TAKEOVER"},
    };
    for (const auto& c : cases) {
        const std::string word = networkWord(c.settings);
        EXPECT_EQ(word, c.word) << c.name;
        EXPECT_EQ(word.find_first_of(", \t\""), std::string::npos) << c.name;
        std::string lower = word;
        for (char& ch : lower)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        for (const std::string& given : {word, lower}) {
            EXPECT_TRUE(isNetworkWord(given)) << c.name;
            const NetworkSettingsParse parsed = parseNetworkWord(given);
            EXPECT_TRUE(parsed.configured) << c.name << ": " << parsed.error;
            EXPECT_EQ(parsed.settings, c.settings) << c.name;
        }
    }
}

TEST(NetworkWord, MalformedWordsAreRefusedWithTheirReason)
{
    const struct {
        const char* word;
        const char* error;
    } cases[] = {
        {"COM5", "not a network word"},
        {"NETWORK", "not a network word"},
        {"NETWORK=", "network word: protocol, address and port expected"},
        {"NETWORK=RAW:127.0.0.1", "network word: protocol, address and port expected"},
        {"NETWORK=SSH:127.0.0.1:22", "network word: \"SSH\" is neither RFC2217 nor RAW"},
        {"NETWORK=RAW:127.0.0:22", "network word: \"127.0.0\" is not an IPv4 address"},
        {"NETWORK=RAW:127.0.0.1:0", "network word: \"0\" is not a TCP port"},
        {"NETWORK=RAW:127.0.0.1:22:", "network word: empty list of allowed clients"},
        {"NETWORK=RAW:127.0.0.1:22:1.2.3.4:5", "network word: more than four fields"},
        {"NETWORK=RAW:127.0.0.1:22:1.2.3", "network word: \"1.2.3\" is not an IPv4 address"},
        {"NETWORK=RAW:127.0.0.1:22:1.2.3.4:5.6.7.8:TAKEOVER", "network word: more than four fields"},
    };
    for (const auto& c : cases) {
        const NetworkSettingsParse parsed = parseNetworkWord(c.word);
        EXPECT_FALSE(parsed.configured) << c.word;
        EXPECT_EQ(parsed.error.rfind(c.error, 0), 0u) << c.word << ": " << parsed.error;
    }
}

TEST(LineRates, TheEightCameraLinkRatesAndNothingElse)
{
    const struct {
        uint32_t bitsPerSecond;
        uint32_t constant;
    } cases[] = {
        {9600, 1}, {19200, 2}, {38400, 4}, {57600, 8}, {115200, 16}, {230400, 32}, {460800, 64}, {921600, 128},
        {0, 0}, {300, 0}, {9601, 0}, {14400, 0}, {1000000, 0}, {0xFFFFFFFF, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clBaudCodeForRate(c.bitsPerSecond), static_cast<int32_t>(c.constant)) << c.bitsPerSecond;
        if (c.constant != 0) {
            EXPECT_EQ(rateOfClBaudCode(static_cast<int32_t>(c.constant)), c.bitsPerSecond);
            EXPECT_EQ(baudRateForClBaudCode(static_cast<int32_t>(c.constant)), c.bitsPerSecond);
        }
        EXPECT_EQ(rateAfterRequest(c.bitsPerSecond, 57600), c.constant != 0 ? c.bitsPerSecond : 57600u)
            << c.bitsPerSecond;
    }
    EXPECT_EQ(rateOfClBaudCode(3), 0u);
    EXPECT_EQ(baudRateForClBaudCode(3), 9600u) << "a code that is none stands for 9600";
    EXPECT_EQ(baudRateForClBaudCode(INT32_MIN), 9600u);
}

TEST(WinsockErrorStatus, CommonErrorsHaveTheirOwnNumbers)
{
    const struct {
        int32_t winsockError;
        int status;
    } cases[] = {
        {0, 0},        {10013, -13},  {10022, -22},  {10024, -24}, {10048, -100}, {10049, -101},
        {10053, -106}, {10054, -108}, {10055, -119}, {10057, -126}, {10060, -138}, {10093, -19},
        {10035, -14},  {12345, -14},
    };
    for (const auto& c : cases)
        EXPECT_EQ(statusFromWinsockError(c.winsockError), c.status) << c.winsockError;
}

} // namespace
} // namespace clser::network
