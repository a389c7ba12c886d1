#include "setupc_location.h"
#include "setupc_runner.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

using namespace clser::vcom;

namespace {

TEST(ProgramDirectoryParent, CutTwiceAtTheLastBackslash)
{
    EXPECT_EQ(parentOfProgramDirectory("C:\\Prog\\bin\\app.exe"), "C:\\Prog");
    EXPECT_EQ(parentOfProgramDirectory("C:\\bin\\app.exe"), "C:");
    EXPECT_EQ(parentOfProgramDirectory("C:\\app.exe"), "");
    EXPECT_EQ(parentOfProgramDirectory("app.exe"), "");
}

struct CandidateCase {
    const char* name;
    unsigned architecture;
    std::optional<std::string> tarvdir5_32;
    std::optional<std::string> tarvdir5;
    std::vector<std::string> paths;
    std::vector<std::string> directories;
};

const CandidateCase kCandidateCases[] = {
    {"amd64_beside_program_then_tarvdir5_32",
     PROCESSOR_ARCHITECTURE_AMD64,
     std::string("D:\\Rt"),
     std::nullopt,
     {"C:\\Prog\\com0com\\x64\\setupc.exe", "D:\\Rt\\com0com\\x64\\setupc.exe"},
     {"C:\\Prog\\com0com\\x64", "D:\\Rt\\com0com\\x64"}},
    {"intel_all_three_in_order",
     PROCESSOR_ARCHITECTURE_INTEL,
     std::string("D:\\Rt32"),
     std::string("E:\\Rt"),
     {"C:\\Prog\\com0com\\i386\\setupc.exe", "D:\\Rt32\\com0com\\i386\\setupc.exe",
      "E:\\Rt\\com0com\\i386\\setupc.exe"},
     {"C:\\Prog\\com0com\\i386", "D:\\Rt32\\com0com\\i386", "E:\\Rt\\com0com\\i386"}},
    {"unset_variables_skipped",
     PROCESSOR_ARCHITECTURE_AMD64,
     std::nullopt,
     std::nullopt,
     {"C:\\Prog\\com0com\\x64\\setupc.exe"},
     {"C:\\Prog\\com0com\\x64"}},
    {"tarvdir5_32_follows_machine_architecture",
     PROCESSOR_ARCHITECTURE_AMD64,
     std::string("D:\\Rt32"),
     std::string("E:\\Rt"),
     {"C:\\Prog\\com0com\\x64\\setupc.exe", "D:\\Rt32\\com0com\\x64\\setupc.exe",
      "E:\\Rt\\com0com\\x64\\setupc.exe"},
     {"C:\\Prog\\com0com\\x64", "D:\\Rt32\\com0com\\x64", "E:\\Rt\\com0com\\x64"}},
    {"other_architecture_no_subdirectory_and_no_roots",
     12,
     std::string("D:\\Rt32"),
     std::string("E:\\Rt"),
     {"C:\\Prog\\setupc.exe"},
     {"C:\\Prog"}},
};

class SetupcCandidates : public testing::TestWithParam<CandidateCase> {};

TEST_P(SetupcCandidates, PlacesInOrder)
{
    const auto& c = GetParam();
    const auto candidates = setupcCandidates("C:\\Prog\\bin\\app.exe", c.architecture, c.tarvdir5_32, c.tarvdir5);
    std::vector<std::string> paths, directories;
    for (const auto& candidate : candidates) {
        paths.push_back(candidate.path);
        directories.push_back(candidate.directory);
    }
    EXPECT_EQ(paths, c.paths);
    EXPECT_EQ(directories, c.directories);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetupcCandidates, testing::ValuesIn(kCandidateCases),
                         [](const testing::TestParamInfo<CandidateCase>& info) { return info.param.name; });

TEST(SetupcVerb, ElevatedOnlyWhenNotAlreadyAdministrator)
{
    EXPECT_STREQ(setupcVerb(true), "open");
    EXPECT_STREQ(setupcVerb(false), "runas");
}

} // namespace
