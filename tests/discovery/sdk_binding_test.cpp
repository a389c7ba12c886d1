// Where the SDK is found and how its libraries are bound, seen by a probe program that
// each case copies into a directory tree of its own.
#include "camera_config.h"
#include "child_process.h"
#include "scratch_files.h"
#include "sdk_directory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace clser::discovery;
using namespace clser::test;

namespace {

enum class Libraries { None, Full, Partial };

struct ProbeCase {
    const char* name;
    const char* programPath;     // relative to the case's tree
    const char* libraryDir;      // where acqlib5.dll and tarv_hal.dll go, relative to the tree
    Libraries libraries;
    std::map<std::string, std::string> environment; // values may hold {R}, the tree's root
    std::vector<std::string> commands;              // may hold {R} and {BIN}
    std::vector<std::string> expected;
};

const ProbeCase kProbeCases[] = {
    {"program in bin finds the root above",
     R"(X\bin\ClserDunmere2.exe)", R"(X\bin)", Libraries::Full, {},
     {"root", "maxdevices", "ports"},
     {R"(root={R}\X)", "maxdevices=1", "ports=1 count=2", "port=0. SimBoard_Port0", "port=1. SimBoard_Port1"}},
    {"program in BIN, letter case ignored",
     R"(X\BIN\ClserDunmere2.exe)", R"(X\BIN)", Libraries::Full, {},
     {"root", "maxdevices"},
     {R"(root={R}\X)", "maxdevices=1"}},
    {"program below Hardware Applets passes over Sub",
     R"(X\Hardware Applets\Sub\ClserDunmere2.exe)", R"(X\bin)", Libraries::Full, {},
     {"root", "sysinfo"},
     {R"(root={R}\X)", "sysinfo=0:1"}},
    {"TARVDIR5 with trailing backslashes",
     R"(Tools\ClserDunmere2.exe)", R"(SDK\bin)", Libraries::Full, {{"TARVDIR5", R"({R}\SDK\\)"}},
     {"root", "maxdevices"},
     {R"(root={R}\SDK)", "maxdevices=1"}},
    {"TARVDIR5_32 preferred over TARVDIR5",
     R"(Tools\ClserDunmere2.exe)", R"(SDK32\bin)", Libraries::Full,
     {{"TARVDIR5_32", R"({R}\SDK32\)"}, {"TARVDIR5", R"({R}\SDK)"}},
     {"root", "maxdevices"},
     {R"(root={R}\SDK32)", "maxdevices=1"}},
    {"empty TARVDIR5_32 counts as not set",
     R"(Tools\ClserDunmere2.exe)", R"(SDK\bin)", Libraries::Full,
     {{"TARVDIR5_32", ""}, {"TARVDIR5", R"({R}\SDK)"}},
     {"root"},
     {R"(root={R}\SDK)"}},
    {"the program's own path wins over the environment",
     R"(X\lib\ClserDunmere2.exe)", R"(X\bin)", Libraries::Full, {{"TARVDIR5", R"({R}\SDK)"}},
     {"root"},
     {R"(root={R}\X)"}},
    {"no SDK at all",
     R"(Tools\ClserDunmere2.exe)", nullptr, Libraries::None, {},
     {"root", "maxdevices", "sysinfo", "board", "0", "ports"},
     {"root=(none)", "maxdevices=-2130", "sysinfo=-2130:", "board=0 serial=-2130 cl=-2130 name=(null)",
      "ports=0 count=0"}},
    {"a library that appears later is loaded on the next call",
     R"(X\bin\ClserDunmere2.exe)", nullptr, Libraries::None, {},
     {"maxdevices", "copy", R"({BIN}\tarv_hal.dll)", R"({R}\X\bin\tarv_hal.dll)", "maxdevices", "sysinfo"},
     {"maxdevices=-2130", "copy=1", "maxdevices=1", "sysinfo=-2130:"}},
    {"libraries without some entry points",
     R"(X\bin\ClserDunmere2.exe)", R"(X\bin)", Libraries::Partial, {},
     {"sysinfo", "maxdevices", "board", "0", "ports"},
     {"sysinfo=-2130:", "maxdevices=1", "board=1 serial=2 cl=0 name=(null)", "ports=0 count=0"}},
};

// Replaces every "{KEY}" in text with its value.
std::string expand(std::string text, const std::map<std::string, std::string>& values)
{
    for (const auto& [key, value] : values) {
        const std::string token = "{" + key + "}";
        for (std::size_t pos = text.find(token); pos != std::string::npos; pos = text.find(token, pos + value.size()))
            text.replace(pos, token.size(), value);
    }
    return text;
}

void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.name; }

class SdkProbe : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(SdkProbe, FindsTheSdkAndBindsItsEntryPoints)
{
    const ProbeCase& c = GetParam();
    ScratchTree tree(R"(C:\clser-discovery-probe)");
    const std::string bin = programDirectory();
    const std::map<std::string, std::string> values = {{"R", tree.root()}, {"BIN", bin}};

    ASSERT_TRUE(tree.copyInto(bin + "\\sdk_probe.exe", c.programPath));
    if (c.libraries != Libraries::None) {
        const std::string from = c.libraries == Libraries::Full ? bin : bin + "\\sdk-partial";
        ASSERT_TRUE(tree.copyInto(from + "\\acqlib5.dll", std::string(c.libraryDir) + "\\acqlib5.dll"));
        ASSERT_TRUE(tree.copyInto(from + "\\tarv_hal.dll", std::string(c.libraryDir) + "\\tarv_hal.dll"));
    }
    ProgramStart start{tree.path(c.programPath)};
    start.environment = withoutSdkVariables();
    for (const auto& [name, value] : c.environment)
        start.environment[name] = expand(value, values);
    std::vector<std::string> commands;
    for (const auto& command : c.commands)
        commands.push_back(expand(command, values));
    start.arguments = commandArguments(commands);
    start.creationFlags = CREATE_NO_WINDOW;
    std::vector<std::string> expected;
    for (const auto& line : c.expected)
        expected.push_back(expand(line, values));

    const ProgramRun run = runProgram(start, 30000, true);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.lines(), expected);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SdkProbe, ::testing::ValuesIn(kProbeCases), [](const auto& info) {
    std::string n = info.param.name;
    for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return n;
});

TEST(LocateSdkDirectory, TestProgramInBinFindsTheBuildTree)
{
    const std::string bin = programDirectory();
    const char* root = locateSdkDirectory();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(std::string(root), bin.substr(0, bin.rfind('\\')));
    EXPECT_EQ(locateSdkDirectory(), root) << "the cached text is handed out again";
}

TEST(LocateSdkDirectory, ThreadsCallingAtOnceGetTheSameText)
{
    std::atomic<bool> go{false};
    std::vector<const char*> results(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&, i] {
            while (!go.load())
                std::this_thread::yield();
            for (int round = 0; round < 1000; ++round)
                results[i] = locateSdkDirectory();
        });
    go = true;
    for (auto& t : threads)
        t.join();
    for (const char* r : results)
        EXPECT_EQ(r, results[0]);
    ASSERT_NE(results[0], nullptr);
}

} // namespace
