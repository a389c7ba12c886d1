// The launcher's texts: COM port names from "com" values and the bridge end it looks
// for, with the values a configuration file can hold (at most 7 characters a text).
#include "connection_profile.h"
#include "launcher_config.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace clser::autorun {
namespace {

TEST(LauncherTexts, ComPortNameAndSearchKey)
{
    const struct {
        const char* name;
        std::string com;
        std::string portName;
        std::string key;
    } rows[] = {
        {"digits get COM in front", "7", "COM7", "TARVCOM7"},
        {"name kept", "COM7", "COM7", "TARVCOM7"},
        {"lower case name kept, key upper", "com7", "com7", "TARVCOM7"},
        {"seven digits", "9999999", "COM9999999", "TARVCOM9999999"},
        {"seven letters", "abcdefg", "abcdefg", "TARVABCDEFG"},
        {"empty", "", "", "TARV"},
        {"high bytes untouched", "\xe9\xff", "\xe9\xff", "TARV\xe9\xff"},
        {"NUL kept", "CO\0M"s, "CO\0M"s, "TARVCO\0M"s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(profile::comPortNameOf(row.com), row.portName);
        EXPECT_EQ(bridgeSearchKey(row.portName), row.key);
    }
}

} // namespace
} // namespace clser::autorun
