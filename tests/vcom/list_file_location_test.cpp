#include "list_file_location.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using clser::vcom::listFileLocation;

namespace {

struct ListFileCase {
    const char* name;
    std::optional<std::string> temp;
    std::optional<std::string> listFile;
    std::optional<std::string> parameters;
};

TEST(ListFileLocation, FromTemp)
{
    const std::string longest(511, 'T');
    const ListFileCase cases[] = {
        {"usual", std::string("C:\\Temp"), std::string("C:\\Temp\\TarvVirtualCom.txt"),
         std::string("--output C:\\Temp\\TarvVirtualCom.txt list")},
        {"blank_in_path_quoted", std::string("C:\\Users\\Jo Do\\Temp"),
         std::string("C:\\Users\\Jo Do\\Temp\\TarvVirtualCom.txt"),
         std::string("--output \"C:\\Users\\Jo Do\\Temp\\TarvVirtualCom.txt\" list")},
        {"longest_accepted", longest, longest + "\\TarvVirtualCom.txt",
         "--output " + longest + "\\TarvVirtualCom.txt list"},
        {"unset", std::nullopt, std::nullopt, std::nullopt},
        {"empty", std::string(), std::nullopt, std::nullopt},
        {"512_characters_refused", std::string(512, 'T'), std::nullopt, std::nullopt},
        // A percent sign in TEMP is text, not a format directive.
        {"percent_signs_kept", std::string("C:\\%s%n%x"), std::string("C:\\%s%n%x\\TarvVirtualCom.txt"),
         std::string("--output C:\\%s%n%x\\TarvVirtualCom.txt list")},
    };
    for (const auto& c : cases) {
        const auto location = listFileLocation(c.temp);
        ASSERT_EQ(location.has_value(), c.listFile.has_value()) << c.name;
        if (!location)
            continue;
        EXPECT_EQ(location->listFile, *c.listFile) << c.name;
        EXPECT_EQ(location->listParameters, *c.parameters) << c.name;
    }
}

} // namespace
