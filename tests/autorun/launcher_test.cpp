// The launcher end to end under Wine: the setupc emulator makes real pairs, the
// simulated camera offers two Camera Link serial ports, and a stand-in records every
// bridge program start.
#include "cl_serial_api.h"
#include "cl_serial_library.h"
#include "device_name_scan.h"
#include "serial_device_names.h"
#include "launcher_config.h"
#include "launcher_harness.h"
#include "pty_rig.h"
#include "unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

using namespace clser::test;

namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The number the launcher gives its first new pair: 10, or one above the highest COM or
// TARVCOM number the machine already has (other programs' ports count too).
int firstPairNumber()
{
    const auto used = clser::vcom::collectUsedPortNumbers(clser::vcom::scanSerialDeviceNames());
    int highest = 0;
    for (int n : used)
        highest = std::max(highest, n);
    return (highest < 10 ? 9 : highest) + 1;
}

int pairNumber(int k);
// "COM<n>" of the k-th pair a first run installs.
std::string com(int k) { return "COM" + std::to_string(pairNumber(k)); }

class LauncherTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { layout_ = std::make_unique<LauncherLayout>(); }
    static void TearDownTestSuite() { layout_.reset(); }

    void SetUp() override
    {
        layout_->removeAllPairs();
        first_ = firstPairNumber();
        DeleteFileA(layout_->configFile().c_str());
        layout_->forgetRun();
    }

    static void writeConfig(const std::string& text) { writeFile(layout_->configFile(), text); }

    static void writeFile(const std::string& path, const std::string& text)
    {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
        CloseHandle(f);
    }

    // A first run that leaves pairs com(0) and com(1) (COM10 and COM11 on a clean machine).
    static void firstRun()
    {
        const LauncherRun r = layout_->run();
        ASSERT_EQ(r.exitCode, 0u) << r.output;
        ASSERT_EQ(layout_->listPairs().size(), 2u) << r.output;
        layout_->forgetRun();
    }

    static std::unique_ptr<LauncherLayout> layout_;

public:
    static int first_;
};

std::unique_ptr<LauncherLayout> LauncherTest::layout_;
int LauncherTest::first_ = 10;

int pairNumber(int k) { return LauncherTest::first_ + k; }

TEST_F(LauncherTest, FirstRunInstallsOnePairPerPortWritesSectionsAndStartsHiddenBridges)
{
    const LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(r.messageBoxes.empty());
    EXPECT_EQ(r.output.rfind("Found ClSer-Ports: 2\tFound virtual com ports pair: 0\nTo install: 2\n\n", 0), 0u)
        << r.output;
    EXPECT_TRUE(contains(r.output, "Installing virtual com ports: 1\n")) << r.output;
    EXPECT_TRUE(contains(r.output, "Installing virtual com ports: 2\n")) << r.output;
    EXPECT_TRUE(contains(r.output, "portnameA = " + com(0) + " portnameB = TARV" + com(0))) << r.output;
    EXPECT_TRUE(contains(r.output, "portnameA = " + com(1) + " portnameB = TARV" + com(1))) << r.output;
    EXPECT_TRUE(contains(r.output, "Starting ClserDunmere and create connection...\n")) << r.output;

    const auto pairs = layout_->listPairs();
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_TRUE(contains(pairs[0], " " + com(0) + " TARV" + com(0)));
    EXPECT_TRUE(contains(pairs[1], " " + com(1) + " TARV" + com(1)));

    const std::vector<std::string> expectedConfig = {
        "[connection1]", "com=" + com(0), "clser=0", "baudrate=9600", "parity=n", "databit=8", "stopbit=1",
        "run=1", "connect=1",
        "[connection2]", "com=" + com(1), "clser=1", "baudrate=9600", "parity=n", "databit=8", "stopbit=1",
        "run=1", "connect=1",
    };
    auto config = splitLines(readTextFile(layout_->configFile()));
    config.erase(std::remove(config.begin(), config.end(), std::string()), config.end());
    EXPECT_EQ(config, expectedConfig);

    const auto starts = layout_->bridgeStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0], com(0) + " 0 9600,n,8,1 Autorun|" + layout_->appDir() + "|hidden");
    EXPECT_EQ(starts[1], com(1) + " 1 9600,n,8,1 Autorun|" + layout_->appDir() + "|hidden");
}

TEST_F(LauncherTest, CheckRunInstallsNothingWhenThePairsExistAndReinstallsAMissingOne)
{
    firstRun();
    LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_FALSE(contains(r.output, "Installing")) << r.output;
    EXPECT_FALSE(contains(r.output, "Found ClSer-Ports")) << r.output;
    EXPECT_EQ(layout_->bridgeStarts().size(), 2u);

    // com0com lists the other parameters a user set on a port after its name: a first run
    // over the pairs in place writes their names, and the next run finds them.
    const std::string setupcConfig = layout_->root() + "\\setupc.cfg";
    writeFile(setupcConfig, "list_params = EmuBR=yes,cts=rrts\n");
    _putenv_s("CLSER_SETUPC_CONFIG", setupcConfig.c_str());
    DeleteFileA(layout_->configFile().c_str());
    const std::string output = layout_->run().output;
    r = layout_->run();
    _putenv_s("CLSER_SETUPC_CONFIG", "");
    EXPECT_FALSE(contains(output + r.output, "Installing")) << output << r.output;
    EXPECT_TRUE(r.messageBoxes.empty());
    EXPECT_TRUE(contains(readTextFile(layout_->configFile()), "com=" + com(0) + "\r\n"));
    layout_->forgetRun();

    // The pair of the second connection disappears; the next run puts it back.
    const auto pairs = layout_->listPairs();
    ASSERT_EQ(pairs.size(), 2u);
    layout_->removePair(std::stoi(pairs[1].substr(3)));
    ASSERT_EQ(layout_->listPairs().size(), 1u);
    layout_->forgetRun();
    r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(contains(r.output, "portnameA = " + com(1) + " portnameB = TARV" + com(1))) << r.output;
    EXPECT_EQ(layout_->listPairs().size(), 2u);
    const auto starts = layout_->bridgeStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1], com(1) + " 1 9600,n,8,1 Autorun|" + layout_->appDir() + "|hidden");
}

TEST_F(LauncherTest, OneFailingInstallStartsNothingAndShowsTheLibrarysText)
{
    firstRun();
    // COM1 exists on every machine, so its pair cannot be installed.
    writeConfig("[connection1]\r\ncom=" + com(0) + "\r\nclser=0\r\n[connection2]\r\ncom=1\r\nclser=1\r\n");
    const LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(layout_->bridgeStarts().empty()) << "not even the connection whose pair exists";
    EXPECT_FALSE(contains(r.output, "Starting ClserDunmere")) << r.output;
    ASSERT_EQ(r.messageBoxes.size(), 1u);
    EXPECT_EQ(r.messageBoxes[0].text, "Error Install: The given COM port number is occupied.\n");
}

// Without parameters there is no connection, so no low-latency word either.
TEST_F(LauncherTest, RunZeroIsSkippedAndConnectZeroStartsWithoutParameters)
{
    firstRun();
    writeConfig("[connection1]\r\ncom=" + com(0) + "\r\nclser=0\r\nrun=0\r\n[connection2]\r\ncom=" +
                std::to_string(pairNumber(1)) + "\r\nclser=1\r\nconnect=0\r\nlowlatency=1\r\n");
    const LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    const auto starts = layout_->bridgeStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0], "|" + layout_->appDir() + "|hidden");
}

TEST_F(LauncherTest, LowLatencyOneAddsTheWordAnyOtherValueIsReportedAndLeavesTheDefault)
{
    firstRun();
    const std::string config = "[connection1]\r\ncom=" + com(0) + "\r\nclser=0\r\nlowlatency=1\r\n"
                               "[connection2]\r\ncom=" + com(1) + "\r\nclser=1\r\nlowlatency=yes\r\n";
    writeConfig(config);
    const LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(r.messageBoxes.empty());
    EXPECT_TRUE(contains(r.output, "The value of \"lowlatency\" in section connection2 is neither 0 nor 1, the "
                                   "connection starts in the default mode\n"))
        << r.output;
    EXPECT_FALSE(contains(r.output, "section connection1")) << r.output;
    const auto starts = layout_->bridgeStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0], com(0) + " 0 9600,n,8,1 Autorun LowLatency|" + layout_->appDir() + "|hidden");
    EXPECT_EQ(starts[1], com(1) + " 1 9600,n,8,1 Autorun|" + layout_->appDir() + "|hidden");
    EXPECT_EQ(readTextFile(layout_->configFile()), config) << "the launcher writes nothing on a check run";
}

// A network connection keeps its pair as every connection does (a missing one is put
// back), so dropping the network keys later needs no reinstall.
TEST_F(LauncherTest, NetworkKeysAddTheWordABadValueIsReportedAndStartsWithout)
{
    firstRun();
    const auto before = layout_->listPairs();
    ASSERT_EQ(before.size(), 2u);
    layout_->removePair(std::stoi(before[0].substr(3)));
    const std::string config = "[connection1]\r\ncom=" + com(0) + "\r\nclser=0\r\nlowlatency=1\r\nnetport=4001\r\n"
                               "netprotocol=raw\r\nnetaddress=0.0.0.0\r\nnetallow=10.0.0.5, 10.0.0.6\r\n"
                               "[connection2]\r\ncom=" + com(1) + "\r\nclser=1\r\nnetport=70000\r\n";
    writeConfig(config);
    const LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(r.messageBoxes.empty());
    EXPECT_TRUE(contains(r.output, "portnameA = " + com(0) + " portnameB = TARV" + com(0))) << r.output;
    EXPECT_EQ(layout_->listPairs().size(), 2u);
    EXPECT_TRUE(contains(r.output, "The network settings in section connection2 are invalid, the connection starts "
                                   "without network access: netport: \"70000\" is not a TCP port (1 to 65535)\n"))
        << r.output;
    EXPECT_FALSE(contains(r.output, "section connection1")) << r.output;
    const auto starts = layout_->bridgeStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0], com(0) + " 0 9600,n,8,1 Autorun LowLatency NETWORK=RAW:0.0.0.0:4001:10.0.0.5+10.0.0.6|" +
                             layout_->appDir() + "|hidden");
    EXPECT_EQ(starts[1], com(1) + " 1 9600,n,8,1 Autorun|" + layout_->appDir() + "|hidden");
    EXPECT_EQ(readTextFile(layout_->configFile()), config) << "the launcher writes nothing on a check run";
}

// A record path with blanks reaches the bridge as one quoted word, relative to the
// programs; a bad size and a file that cannot be opened are said on the console.
TEST_F(LauncherTest, RecordKeysAddTheQuotedWordAndWhatCannotBeOpenedIsReported)
{
    firstRun();
    makeDirectories(layout_->appDir() + "\\Record Logs");
    const std::string config = "[connection1]\r\ncom=" + com(0) + "\r\nclser=0\r\nlowlatency=1\r\n"
                               "recordfile=Record Logs\\Com A.log\r\nrecordmib=2\r\n"
                               "[connection2]\r\ncom=" + com(1) + "\r\nclser=1\r\n"
                               "recordfile=No Folder\\b.log\r\nrecordmib=lots\r\n";
    writeConfig(config);
    const LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    const std::string missing = layout_->appDir() + "\\No Folder\\b.log";
    EXPECT_TRUE(contains(r.output, "The record settings in section connection2 are invalid: recordmib: \"lots\" is not "
                                   "a size in MiB (1 to 4096), 16 is used\n"))
        << r.output;
    EXPECT_TRUE(contains(r.output, "The record file \"" + missing + "\" of section connection2 cannot be opened "
                                   "(Windows error 3"))
        << r.output;
    EXPECT_FALSE(contains(r.output, "section connection1")) << r.output;
    const auto starts = layout_->bridgeStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0], com(0) + " 0 9600,n,8,1 Autorun LowLatency \"Record=2:" + layout_->appDir() +
                             "\\Record Logs\\Com A.log\"|" + layout_->appDir() + "|hidden");
    EXPECT_EQ(starts[1], com(1) + " 1 9600,n,8,1 Autorun \"Record=16:" + missing + "\"|" + layout_->appDir() + "|hidden");
    EXPECT_FALSE(fileExists(layout_->appDir() + "\\Record Logs\\Com A.log")) << "the check leaves no file behind";
}

// A record file that an earlier section's bridge records to, however written, is not given
// to a second bridge: that one runs without a record.
TEST_F(LauncherTest, RecordFileOfAnEarlierSectionIsNotGivenAgain)
{
    firstRun();
    writeConfig("[connection1]\r\ncom=" + com(0) + "\r\nclser=0\r\nrecordfile=Shared.log\r\n"
                "[connection2]\r\ncom=" + com(1) + "\r\nclser=1\r\nrecordfile=./Logs/../SHARED.LOG\r\n");
    const LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(contains(r.output, "The record file \"" + layout_->appDir() + "\\./Logs/../SHARED.LOG\" of section "
                                   "connection2 is the record file of section connection1 already, the connection "
                                   "runs without a record\n"))
        << r.output;
    const auto starts = layout_->bridgeStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0], com(0) + " 0 9600,n,8,1 Autorun \"Record=16:" + layout_->appDir() + "\\Shared.log\"|" +
                             layout_->appDir() + "|hidden");
    EXPECT_EQ(starts[1], com(1) + " 1 9600,n,8,1 Autorun|" + layout_->appDir() + "|hidden");
}

// A section without "com" between two configured ones leaves out only itself: the
// connection after it is still started.
TEST_F(LauncherTest, SectionWithoutComLeavesOutOnlyItself)
{
    firstRun();
    const std::string cameraConfig = layout_->root() + "\\three_ports.ini";
    writeFile(cameraConfig, "ports = 3\r\n");
    char previous[MAX_PATH] = {};
    const bool hadPrevious = GetEnvironmentVariableA("CLSERBVK_SIM_CONFIG", previous, sizeof previous) > 0;
    SetEnvironmentVariableA("CLSERBVK_SIM_CONFIG", cameraConfig.c_str());
    writeConfig("[connection1]\r\ncom=" + com(0) + "\r\nclser=0\r\n[connection2]\r\nclser=1\r\n"
                "[connection3]\r\ncom=" + com(1) + "\r\nclser=2\r\n");
    const LauncherRun r = layout_->run();
    SetEnvironmentVariableA("CLSERBVK_SIM_CONFIG", hadPrevious ? previous : nullptr);
    DeleteFileA(cameraConfig.c_str());
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_TRUE(r.messageBoxes.empty());
    const auto starts = layout_->bridgeStarts();
    ASSERT_EQ(starts.size(), 2u) << r.output;
    EXPECT_EQ(starts[0], com(0) + " 0 9600,n,8,1 Autorun|" + layout_->appDir() + "|hidden");
    EXPECT_EQ(starts[1], com(1) + " 2 9600,n,8,1 Autorun|" + layout_->appDir() + "|hidden");
}

TEST_F(LauncherTest, CameraLinkPortInUseIsSkippedAfterItsMessageAndAPause)
{
    firstRun();
    // This process holds Camera Link port 0, as a running bridge would.
    void* held = nullptr;
    ASSERT_EQ(clSerialInit(0, &held), 0);
    const LauncherRun r = layout_->run();
    clSerialClose(held);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(contains(r.output,
                         "The cl serial port 0. is occupied or not exist, please check the system configuration\n"))
        << r.output;
    EXPECT_GE(r.milliseconds, 4500u) << "1.5 s before the starts and 3 s after the message";
    const auto starts = layout_->bridgeStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0], com(1) + " 1 9600,n,8,1 Autorun|" + layout_->appDir() + "|hidden");
}

TEST_F(LauncherTest, ComPortThatCannotBeOpenedIsStartedAnyway)
{
    firstRun();
    // TARVCOM15 is listed among the devices, but COM15 cannot be opened.
    ASSERT_TRUE(clser::testbed::registerDosDeviceName("TARVCOM15"));
    writeConfig("[connection1]\r\ncom=COM15\r\nclser=0\r\n");
    const LauncherRun r = layout_->run();
    clser::testbed::unregisterDosDeviceName("TARVCOM15");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(contains(r.output,
                         "The com port COM15 is occupied or not exist, please check the system configuration\n"))
        << r.output;
    const auto starts = layout_->bridgeStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0], "COM15 0 9600,n,8,1 Autorun|" + layout_->appDir() + "|hidden");
}

TEST_F(LauncherTest, SecondLauncherEndsAtOnceWithMinusOneAndNoOutput)
{
    clser::UniqueHandle other(CreateMutexA(nullptr, FALSE, "{47670430-19Q1-48VG-B658-0ADDC33BBD3F}"));
    const LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, static_cast<DWORD>(-1));
    EXPECT_EQ(r.output, "");
    EXPECT_TRUE(layout_->listPairs().empty());
}

TEST_F(LauncherTest, MissingBridgeProgramIsReportedWithMinusOne)
{
    const std::string bridge = layout_->appDir() + "\\ClserDunmere2.exe";
    const std::string kept = layout_->appDir() + "\\ClserDunmere2.kept";
    ASSERT_TRUE(MoveFileA(bridge.c_str(), kept.c_str()));
    const LauncherRun r = layout_->run();
    MoveFileA(kept.c_str(), bridge.c_str());
    EXPECT_EQ(r.exitCode, static_cast<DWORD>(-1));
    EXPECT_TRUE(contains(r.output, "Error: Not found ClserDunmere2.exe, please check the installation.\n")) << r.output;
}

// Sections past this system's two ports are visited too (the folder's other maker has
// three): section 3 names that maker's library; its pair is installed, its bridge gets the
// word, also when this system's own library is missing.
TEST_F(LauncherTest, ValuesThatCannotBeUsedAreReportedAndOnlyTheirSectionsAreNotStarted)
{
    firstRun();
    // A negative index, a value with a blank that would split into two arguments, a library
    // not in the folder and a path.
    writeConfig("[connection1]\r\ncom=" + com(0) + "\r\nclser=-3\r\n[connection2]\r\ncom=" + com(1) + "\r\nclser=1\r\n"
                "parity=n x\r\n[connection3]\r\ncom=" + com(2) + "\r\nclser=2\r\ncllibrary=clserlrk.dll\r\n"
                "[connection4]\r\ncom=" + com(0) + "\r\ncllibrary=clsermissing.dll\r\n[connection5]\r\ncom=" +
                com(1) + "\r\ncllibrary=.\\clserlrk.dll\r\n");
    LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(contains(r.output, "The cl serial port index -3 of section connection1 is invalid")) << r.output;
    EXPECT_TRUE(contains(r.output, "The value of \"parity\" in section connection2 contains a blank")) << r.output;
    EXPECT_TRUE(contains(r.output, "\"cllibrary\" in section connection4 is not in the Camera Link library folder " +
                                   clser::cameraLinkLibraryFolder().value_or("?") + ", the connection is not started\n"));
    EXPECT_TRUE(contains(r.output, "\"cllibrary\" in section connection5 is a path instead of a file name")) << r.output;
    EXPECT_EQ(layout_->listPairs().size(), 3u) << r.output;
    const std::vector<std::string> started{com(2) + " 2 9600,n,8,1 Autorun CLLIB=clserlrk.dll|" + layout_->appDir() +
                                           "|hidden"};
    EXPECT_EQ(layout_->bridgeStarts(), started);

    const std::string own = layout_->appDir() + "\\clserbvk.dll";
    ASSERT_TRUE(MoveFileA(own.c_str(), (own + ".kept").c_str()));
    layout_->forgetRun();
    r = layout_->run();
    MoveFileA((own + ".kept").c_str(), own.c_str());
    const std::string line = "The Camera Link serial library clserbvk.dll cannot be loaded (";
    EXPECT_TRUE(contains(r.output, line) && r.output.find(line) == r.output.rfind(line)) << r.output;
    EXPECT_EQ(layout_->bridgeStarts(), started);
}

// Libraries that are not serial libraries, from a folder given: the registered folder is
// shared by every test.
TEST(LauncherLibraryRefusal, NamesTheSectionTheKeyAndWhy)
{
    const std::string variants = clser::cameraLinkLibraryFolder().value_or("") + "-variants";
    for (const char* file : {"clsertxt.dll", "clsernrd.dll"})
        EXPECT_EQ(clser::autorun::clLibraryRefusalLine(4, clser::loadConnectionLibrary(file, variants).problem)
                      .rfind("The value of \"cllibrary\" in section connection4 is not a serial library: it ", 0),
                  0u) << file;
}

TEST_F(LauncherTest, AbsurdComValueFailsItsInstallWithAClearText)
{
    firstRun();
    // Seven letters: no pair end of that name, and no number to install.
    writeConfig("[connection1]\r\ncom=ABCDEFG\r\nclser=0\r\nbaudrate=fast\r\n");
    const LauncherRun r = layout_->run();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(layout_->bridgeStarts().empty());
    ASSERT_EQ(r.messageBoxes.size(), 1u);
    EXPECT_EQ(r.messageBoxes[0].text,
              "Error Install: Invalid COM number, COM port number should be greater than 0.\n");
}

} // namespace
