// The COM port list built with the real pair library, run in a probe program copied
// with the library into a tree of its own. COM3 is registered as a device name for the
// test, so that the list always has a plain port to keep or replace.
#include "camera_config.h"
#include "child_process.h"
#include "device_names.h"
#include "pty_rig.h"
#include "scratch_files.h"
#include "setupc_emulator.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace clser::test;

namespace {

std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const auto& l : lines)
        if (l.rfind(prefix, 0) == 0)
            found.push_back(l);
    return found;
}

// The entries printed by each rebuild, one list per "refresh".
std::vector<std::vector<std::string>> entriesPerRebuild(const std::vector<std::string>& lines)
{
    std::vector<std::vector<std::string>> rebuilds;
    for (const auto& l : lines) {
        if (l.rfind("entries=", 0) == 0)
            rebuilds.emplace_back();
        else if (l.rfind("entry=", 0) == 0 && !rebuilds.empty())
            rebuilds.back().push_back(l.substr(6));
    }
    return rebuilds;
}

// The probe, as the bridge program, with the given environment changes besides.
ProgramRun runProbe(const ScratchTree& tree, const std::string& arguments,
                    const std::map<std::string, std::optional<std::string>>& environment = {})
{
    ProgramStart start{tree.path("Tools\\ClserDunmere2.exe"), arguments};
    start.environment = withoutSdkVariables();
    for (const auto& [name, value] : environment)
        start.environment[name] = value;
    start.creationFlags = CREATE_NO_WINDOW;
    return runProgram(start, 30000, true);
}

class RealPairLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        const bool existed = deviceListed("COM3");
        ASSERT_TRUE(clser::testbed::registerDosDeviceName("COM3"));
        registeredCom3_ = !existed;
        ASSERT_TRUE(tree_.copyBuildFiles("Tools", {"TarvVirtualComPort.dll", "clserbvk.dll"}));
        ASSERT_TRUE(tree_.copyInto(programDirectory() + "\\port_list_probe.exe", "Tools\\ClserDunmere2.exe"));
    }
    void TearDown() override
    {
        if (registeredCom3_)
            clser::testbed::unregisterDosDeviceName("COM3");
    }

    ScratchTree tree_{R"(C:\clser-discovery-pairs)"};
    bool registeredCom3_ = false;
};

TEST_F(RealPairLibrary, FailingInitIsShownOncePerRebuildAndPlainPortsStay)
{
    const ProgramRun run = runProbe(tree_, "refresh refresh");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    const auto shown = linesStartingWith(run.lines(), "ui=");
    ASSERT_EQ(shown.size(), 2u) << "one message per rebuild";
    for (const auto& s : shown)
        EXPECT_EQ(s.rfind("ui=Not found com0com in ", 0), 0u) << s;
    const auto rebuilds = entriesPerRebuild(run.lines());
    ASSERT_EQ(rebuilds.size(), 2u);
    for (const auto& entries : rebuilds)
        EXPECT_NE(std::find(entries.begin(), entries.end(), "|COM3|"), entries.end()) << "plain COM3 stays";
}

TEST_F(RealPairLibrary, ListedPairReplacesThePlainPortAtTheEnd)
{
    const std::string setupc = programDirectory() + "\\setupc.exe";
    if (GetFileAttributesA(setupc.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no setupc emulator in this build";
    ASSERT_TRUE(tree_.copyInto(setupc, "com0com\\" + architectureFolder() + "\\setupc.exe"));
    ASSERT_TRUE(tree_.writeFile("list.txt", "       CNCA0 PortName=COM3\n       CNCB0 PortName=TARVCOM3\n"));
    ASSERT_TRUE(tree_.writeFile("setupc.txt", "list_text = " + tree_.path("list.txt") + "\n"));

    const ProgramRun run = runProbe(tree_, "refresh", {{"CLSER_SETUPC_CONFIG", tree_.path("setupc.txt")}});
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(linesStartingWith(run.lines(), "ui=").empty()) << ::testing::PrintToString(run.lines());
    const auto rebuilds = entriesPerRebuild(run.lines());
    ASSERT_EQ(rebuilds.size(), 1u);
    const auto& entries = rebuilds[0];
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back(), "CNC0|COM3|TARVCOM3");
    EXPECT_EQ(std::find(entries.begin(), entries.end(), "|COM3|"), entries.end()) << "the plain COM3 went";
}

} // namespace
