// The Camera Link port list against SDK libraries that answer with runaway values: the
// list stays bounded and comes back within seconds, so the bridge program's window still
// shows. The SDK stand-ins take their answers from CLSER_SDK_CONFIG; sdk_probe lists the
// ports the way the bridge program does.
#include "camera_config.h"
#include "child_process.h"
#include "outcome_row.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

using namespace clser::test;
using clser::reliability::cellText;
using clser::reliability::printOutcomeRow;

namespace {

struct SdkCase {
    const char* input;
    std::string boards;    // the stand-ins' configuration
    std::string summary;   // the probe's "ports=" line
    std::string lastName;  // the last port's display name
    const char* expected;
};

TEST(SdkAnswers, RunawayCountsAndLongNamesGiveABoundedList)
{
    ScratchTree tree(R"(C:\clser-reliability-sdk-answers)");
    const std::string longName(4096, 'B');
    const SdkCase cases[] = {
        {"a board claiming 2147483647 serial ports", "board0.name = Big\nboard0.serial = 2147483647\n",
         "ports=1 count=64", "63. Big_Port63", "64 ports listed (the most taken from one board), at once"},
        {"board count 5, one board answering, 2147483647 device indices",
         "boardcount = 5\nmaxdevices = 2147483647\nboard0.name = A\nboard0.serial = 1\n", "ports=1 count=1", "0. A_Port0",
         "the one board's port, after 256 indices probed"},
        {"a board name of 4 KB", "board0.name = " + longName + "\nboard0.serial = 2\n", "ports=1 count=2", "1. " + std::string(252, 'B'),
         "2 ports, display names cut to 255 characters"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const std::string config = "boards-" + std::to_string(n++) + ".txt";
        ASSERT_TRUE(tree.writeFile(config, c.boards));
        ProgramStart probe{programDirectory() + "\\sdk_probe.exe", "ports"};
        probe.environment = withoutSdkVariables();
        probe.environment["CLSER_SDK_CONFIG"] = tree.path(config);
        probe.creationFlags = CREATE_NO_WINDOW;
        const DWORD start = GetTickCount();
        const ProgramRun run = runProgram(probe, 30000, true);
        const DWORD took = GetTickCount() - start;
        ASSERT_TRUE(run.started);
        const std::vector<std::string> lines = run.lines();
        EXPECT_LT(took, 20000u) << "no hang";
        ASSERT_FALSE(lines.empty()) << "the probe ended without output";
        EXPECT_EQ(lines[0], c.summary);
        std::size_t longest = 0;
        for (std::size_t i = 1; i < lines.size(); ++i)
            longest = std::max(longest, lines[i].size() - std::string("port=").size());
        EXPECT_LE(longest, 255u);
        EXPECT_EQ(lines.back().substr(std::string("port=").size()), c.lastName);
        printOutcomeRow("SDK answers", c.input, c.expected,
                        cellText(lines[0]) + ", longest name " + std::to_string(longest) + " characters, " +
                            std::to_string(took) + " ms");
    }
}

} // namespace
