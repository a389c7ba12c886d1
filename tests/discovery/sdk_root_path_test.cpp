#include "sdk_root_path.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace clser::discovery;

namespace {

struct WalkCase {
    const char* name;
    std::string modulePath;
    std::optional<std::string> root;
};

const WalkCase kWalkCases[] = {
    {"program in bin", R"(C:\X\bin\ClserDunmere2.exe)", R"(C:\X)"},
    {"bin in upper case", R"(C:\X\BIN\ClserDunmere2.exe)", R"(C:\X)"},
    {"walk passes over Sub below Hardware Applets", R"(C:\X\Hardware Applets\Sub\ClserDunmere2.exe)", R"(C:\X)"},
    {"Hardware Applets in other case", R"(C:\X\hardware applets\a.exe)", R"(C:\X)"},
    {"dll directory", R"(C:\X\dll\a.exe)", R"(C:\X)"},
    {"lib directory, mixed case", R"(C:\X\Lib\a.exe)", R"(C:\X)"},
    {"lib64 directory", R"(C:\X\LIB64\a.exe)", R"(C:\X)"},
    {"several levels below bin", R"(C:\X\bin\A\B\C\a.exe)", R"(C:\X)"},
    {"nearest matching directory wins", R"(C:\X\bin\Y\lib\a.exe)", R"(C:\X\bin\Y)"},
    {"doubled backslashes are stepped over", R"(C:\X\\bin\\a.exe)", R"(C:\X)"},
    {"bin right below the drive", R"(C:\bin\a.exe)", R"(C:)"},
    {"network path", R"(\\server\share\bin\a.exe)", R"(\\server\share)"},
    {"no matching directory", R"(C:\Tools\ClserDunmere2.exe)", std::nullopt},
    {"the program file itself is never a match", R"(C:\Tools\bin)", std::nullopt},
    {"names that only contain a match", R"(C:\X\binaries\mybin\lib32\a.exe)", std::nullopt},
    {"Hardware Applets written together", R"(C:\X\HardwareApplets\a.exe)", std::nullopt},
    {"match at the very start has nothing above", R"(bin\a.exe)", std::nullopt},
    {"only backslashes above the match", R"(\\bin\a.exe)", std::nullopt},
    {"no backslash", "a.exe", std::nullopt},
    {"backslash only in front", R"(\a.exe)", std::nullopt},
    {"empty path", "", std::nullopt},
    {"backslashes only", std::string(5000, '\\'), std::nullopt},
    {"bin after many backslashes", std::string(100, '\\') + "bin\\a.exe", std::nullopt},
    {"deep path", "C:" + std::string(2000, 'x') + "\\bin" + std::string(2000, '\\') + "a.exe",
     "C:" + std::string(2000, 'x')},
    {"NUL in a directory name", std::string("C:\\X\\bin\0\\a.exe", 14), std::nullopt},
    {"bin at the end", R"(C:\X\bin\)", R"(C:\X)"},
};

void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.name; }

class SdkRootWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(SdkRootWalk, FindsTheParentOfTheFirstSdkDirectoryAbove)
{
    EXPECT_EQ(sdkRootFromModulePath(GetParam().modulePath), GetParam().root) << GetParam().modulePath;
}

INSTANTIATE_TEST_SUITE_P(ModulePaths, SdkRootWalk, ::testing::ValuesIn(kWalkCases),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& c : n)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

struct EnvironmentCase {
    const char* name;
    std::string value;
    std::string root;
};

const EnvironmentCase kEnvironmentCases[] = {
    {"trailing backslash removed", R"(D:\SDK\)", R"(D:\SDK)"},
    {"several trailing backslashes removed", R"(D:\SDK\\\)", R"(D:\SDK)"},
    {"value without backslash kept", R"(D:\SDK)", R"(D:\SDK)"},
    {"first character always stays", R"(\\\)", R"(\)"},
    {"long value cut to 1023 characters", std::string(2000, 'x'), std::string(1023, 'x')},
    {"backslashes at the cut are removed", std::string(1020, 'x') + std::string(10, '\\'), std::string(1020, 'x')},
    {"empty value", "", ""},
    {"a megabyte of backslashes", std::string(1 << 20, '\\'), R"(\)"},
};

TEST(SdkRootFromEnvironment, TrimsLikeAnInstallationRoot)
{
    for (const auto& c : kEnvironmentCases)
        EXPECT_EQ(sdkRootFromEnvironmentValue(c.value), c.root) << c.name;
}

TEST(SdkSubdirectoryName, AnyCaseOfTheNamesOnly)
{
    EXPECT_TRUE(isSdkSubdirectoryName("HARDWARE APPLETS"));
    EXPECT_FALSE(isSdkSubdirectoryName(""));
}

TEST(SdkLibraryPath, LiesInBinBelowTheRoot)
{
    EXPECT_EQ(sdkLibraryPath(R"(D:\SDK)", "acqlib5"), R"(D:\SDK\bin\acqlib5.dll)");
    EXPECT_EQ(sdkLibraryPath(R"(C:)", "tarv_hal"), R"(C:\bin\tarv_hal.dll)");
}

} // namespace
