// The network word on the bridge program's command line: the program's own
// classification takes it for neither a port name, an index nor line settings but keeps
// it as the network word, and the word reads back after the command line has upper-cased it.
#include "command_line_info.h"
#include "network_settings.h"

#include <gtest/gtest.h>

#include <cctype>

namespace clser::network {
namespace {

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TEST(NetworkWordOnCommandLine, LeavesTheOtherWordsAloneAndReadsBack)
{
    NetworkSettings raw{4001, kAnyAddress, NetProtocol::Raw, {0x0A000005, 0x0A000006}};
    NetworkSettings rfc{2217, kLoopbackAddress, NetProtocol::Rfc2217, {}};
    for (const NetworkSettings& settings : {raw, rfc}) {
        const std::string word = networkWord(settings);
        const std::vector<std::string> withoutWord = {"COM5", "0", "9600,n,8,1", "Autorun"};
        std::vector<std::string> withWord = withoutWord;
        withWord.push_back(word);
        app::StartValues expected = app::startValuesOf(app::parseCommandLine(withoutWord));
        expected.networkWord = upper(word);
        EXPECT_EQ(app::startValuesOf(app::parseCommandLine(withWord)), expected) << word;
        const NetworkSettingsParse parsed = parseNetworkWord(upper(word));
        EXPECT_TRUE(parsed.configured) << word;
        EXPECT_EQ(parsed.settings, settings) << word;
    }
}

} // namespace
} // namespace clser::network
