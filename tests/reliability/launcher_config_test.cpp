// The real launcher against configuration files and environments a user's machine can
// produce: what it starts, what it writes, and what it says. One simulated Camera Link
// port and the other maker's in the library folder, whose sections hold no "com" here.
#include "cl_serial_library.h"
#include "cl_serial_port_catalog.h"
#include "launcher_harness.h"
#include "outcome_row.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

using namespace clser::test;
using clser::reliability::cellText;
using clser::reliability::printOutcomeRow;

namespace {

const std::string kTempText = "Error: The TEMP directory is not set or its path is too long for the list file.\n";
const std::string kInstallZeroText =
    "Error Install: Invalid COM number, COM port number should be greater than 0.\n";

std::string environmentValue(const char* name)
{
    char buffer[32768] = {};
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

class LauncherBadInputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        savedCamera_ = environmentValue("CLSERBVK_SIM_CONFIG");
        layout_ = std::make_unique<LauncherLayout>();
        cameraPorts(1);
        layout_->removeAllPairs();
    }
    static void TearDownTestSuite()
    {
        layout_.reset();
        SetEnvironmentVariableA("CLSERBVK_SIM_CONFIG", savedCamera_.empty() ? nullptr : savedCamera_.c_str());
    }

    static void writeFile(const std::string& path, const std::string& bytes)
    {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
        DWORD n = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
        CloseHandle(f);
    }

    // The simulated camera's port count, which is how many sections a check run visits.
    static void cameraPorts(int count)
    {
        const std::string camera = layout_->root() + "\\camera-ports.txt";
        writeFile(camera, "ports = " + std::to_string(count) + "\n");
        SetEnvironmentVariableA("CLSERBVK_SIM_CONFIG", camera.c_str());
    }

    // Runs the launcher on a fresh file (nullptr: no file at all).
    static LauncherRun runWith(const std::string* config)
    {
        DeleteFileA(layout_->configFile().c_str());
        if (config)
            writeFile(layout_->configFile(), *config);
        layout_->forgetRun();
        return layout_->run();
    }

    static std::string started(const std::string& parameters)
    {
        return parameters + "|" + layout_->appDir() + "|hidden";
    }

    static std::unique_ptr<LauncherLayout> layout_;
    static std::string savedCamera_;
};

std::unique_ptr<LauncherLayout> LauncherBadInputTest::layout_;
std::string LauncherBadInputTest::savedCamera_;

// What a run did, for the table.
std::string observedOf(const LauncherRun& r, const std::vector<std::string>& starts)
{
    std::string text = "exit " + std::to_string(static_cast<int>(r.exitCode));
    for (const auto& box : r.messageBoxes)
        text += ", box \"" + cellText(box.text) + "\"";
    if (starts.empty())
        text += ", nothing started";
    for (const auto& s : starts)
        text += ", started \"" + cellText(s.substr(0, s.find('|'))) + "\"";
    return text + ", " + std::to_string(r.milliseconds) + " ms";
}

// A 4 KB block of bytes that no profile file holds, without line ends.
std::string binaryJunk()
{
    std::string junk(4096, '\0');
    unsigned state = 777;
    for (char& c : junk) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return junk;
}

TEST_F(LauncherBadInputTest, ConfigurationFilesAUsersMachineCanHold)
{
    // First run with no file: installs the pair of the one Camera Link port.
    LauncherRun r = runWith(nullptr);
    const auto pairs = layout_->listPairs();
    ASSERT_EQ(pairs.size(), 1u) << r.output;
    const std::string com = pairs[0].substr(pairs[0].find(' ') + 1, pairs[0].rfind(' ') - pairs[0].find(' ') - 1);
    const std::string defaults = com + " 0 9600,n,8,1 Autorun";
    auto starts = layout_->bridgeStarts();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(r.messageBoxes.empty());
    EXPECT_EQ(starts, std::vector<std::string>{started(defaults)});
    EXPECT_NE(readTextFile(layout_->configFile()).find("com=" + com), std::string::npos);
    printOutcomeRow("DunmereConfig.ini", "missing", "first run: pair installed, connection1 written, bridge started",
                    observedOf(r, starts));

    const std::string section = "[connection1]\r\ncom=" + com + "\r\n";
    struct Case {
        const char* input;
        std::string file;
        std::vector<std::string> starts; // parameters of each bridge start; '*' stands for any text
        std::string box;                 // the one message box, or none
        const char* expected;
        std::string printed = "";        // a console line the run prints
    };
    const Case cases[] = {
        {"empty", "", {defaults}, "", "first run: connection1 written, bridge started"},
        {"4 KB of binary junk", binaryJunk(), {defaults}, "",
         "unconfigured, so a first run: connection1 written, bridge started"},
        {"com of 7 letters starting with COM (COMABCD)", "[connection1]\r\ncom=COMABCD\r\n", {}, kInstallZeroText,
         "pair number 0 refused: the library's text in a box, nothing started"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        r = runWith(&c.file);
        starts = layout_->bridgeStarts();
        EXPECT_EQ(r.exitCode, 0u) << r.output;
        ASSERT_EQ(starts.size(), c.starts.size()) << r.output;
        for (std::size_t i = 0; i < starts.size(); ++i) {
            const std::string want = started(c.starts[i]);
            const auto star = want.find('*');
            if (star == std::string::npos) {
                EXPECT_EQ(starts[i], want);
            } else {
                EXPECT_EQ(starts[i].substr(0, star), want.substr(0, star)) << starts[i];
                EXPECT_EQ(starts[i].substr(starts[i].size() - (want.size() - star - 1)), want.substr(star + 1))
                    << starts[i];
            }
        }
        if (!c.printed.empty()) {
            EXPECT_NE(r.output.find(c.printed), std::string::npos) << r.output;
        }
        if (c.box.empty()) {
            EXPECT_TRUE(r.messageBoxes.empty());
        } else {
            ASSERT_EQ(r.messageBoxes.size(), 1u);
            EXPECT_EQ(r.messageBoxes[0].text, c.box);
        }
        EXPECT_EQ(layout_->listPairs().size(), 1u) << "no pair installed or lost";
        std::string observed = observedOf(r, starts);
        if (!c.printed.empty() && r.output.find(c.printed) != std::string::npos)
            observed += ", printed \"" + cellText(c.printed) + "\"";
        printOutcomeRow("DunmereConfig.ini", c.input, c.expected, observed);
    }
}

// One check run with five Camera Link ports looks at sections 1 to 5, each holding one
// bad value, of a file with 1000 sections. The other maker's ports add as many sections to
// the visit: these are not run.
TEST_F(LauncherBadInputTest, ValuesOfOneCheckRunAmongAThousandSections)
{
    cameraPorts(1);
    LauncherRun r;
    if (layout_->listPairs().empty())
        r = runWith(nullptr); // a first run installs the pair
    const auto pairs = layout_->listPairs();
    ASSERT_EQ(pairs.size(), 1u) << r.output;
    const std::string com = pairs[0].substr(pairs[0].find(' ') + 1, pairs[0].rfind(' ') - pairs[0].find(' ') - 1);

    struct Section {
        const char* input;
        std::string keys;
        std::string start; // parameters of its bridge start ('*': any text), empty: not started
        const char* expected;
        std::string printed = "";
    };
    const std::string k4(4096, 'x');
    const Section sections[] = {
        {"4 KB values (parity, stopbit, an unknown key)",
         "parity=" + k4 + "\r\nstopbit=" + k4 + "\r\nnote=" + k4 + "\r\n", com + " 0 9600,xxxxxxx,8,xxxxxxx Autorun",
         "texts cut to 7 characters, bridge started"},
        {"4 KB digits as baudrate", "baudrate=" + std::string(4096, '9') + "\r\n", com + " 0 *,n,8,1 Autorun",
         "bridge started with whatever number the profile function reads; the bridge takes 9600 for it"},
        {"clser = -3", "clser=-3\r\n", "",
         "not started: a console line names the invalid index (the bridge could not use it)",
         "The cl serial port index -3 of section connection3 is invalid, please check the configuration\n"},
        {"clser = 99", "clser=99\r\n", com + " 99 9600,n,8,1 Autorun", "started with 99 (the bridge refuses it)"},
        {"baudrate = fast", "baudrate=fast\r\n", com + " 0 0,n,8,1 Autorun", "read as 0, started with 0,n,8,1"},
    };
    constexpr int kVisited = 5;
    const int others = static_cast<int>(clser::listOtherMakerPorts(clser::cameraLinkLibraryFolder()).ports.size());
    std::string file;
    for (int k = 1; k <= 1000; ++k) {
        file += "[connection" + std::to_string(k) + "]\r\ncom=" + com + "\r\n";
        file += k <= kVisited ? sections[k - 1].keys : k <= kVisited + others ? "run=0\r\n" : "clser=0\r\n";
    }
    cameraPorts(kVisited);
    r = runWith(&file);
    cameraPorts(1);
    const auto starts = layout_->bridgeStarts();
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_TRUE(r.messageBoxes.empty());
    EXPECT_EQ(layout_->listPairs().size(), 1u) << "no pair installed or lost";

    std::size_t next = 0;
    for (const auto& s : sections) {
        SCOPED_TRACE(s.input);
        std::string observed = "exit " + std::to_string(static_cast<int>(r.exitCode));
        if (s.start.empty()) {
            observed += ", not started";
        } else if (next < starts.size()) {
            const std::string& got = starts[next++];
            const std::string want = started(s.start);
            const auto star = want.find('*');
            if (star == std::string::npos) {
                EXPECT_EQ(got, want);
            } else {
                EXPECT_EQ(got.substr(0, star), want.substr(0, star)) << got;
                EXPECT_EQ(got.substr(got.size() - (want.size() - star - 1)), want.substr(star + 1)) << got;
            }
            observed += ", started \"" + cellText(got.substr(0, got.find('|'))) + "\"";
        } else {
            ADD_FAILURE() << "not started";
            observed += ", NOT STARTED";
        }
        if (!s.printed.empty()) {
            const bool said = r.output.find(s.printed) != std::string::npos;
            EXPECT_TRUE(said) << r.output;
            if (said)
                observed += ", printed \"" + cellText(s.printed) + "\"";
        }
        printOutcomeRow("DunmereConfig.ini", s.input, s.expected, observed);
    }
    EXPECT_EQ(next, starts.size()) << "no start for a section beyond the fifth";
    printOutcomeRow("DunmereConfig.ini", "1000 sections (5 Camera Link ports)",
                    "sections 1 to 5 visited, no other started",
                    std::to_string(starts.size()) + " bridges started, " + std::to_string(r.milliseconds) + " ms");
}

TEST_F(LauncherBadInputTest, UnusableTempEndsWithTheLibrarysTextAndStartsNothing)
{
    const std::string savedTemp = environmentValue("TEMP");
    const std::string configured = "[connection1]\r\ncom=COM1\r\n";
    for (const std::string& temp : {std::string(), "C:\\" + std::string(597, 't')}) {
        const std::string input = temp.empty() ? "TEMP unset" : "TEMP of 600 characters";
        SCOPED_TRACE(input);
        SetEnvironmentVariableA("TEMP", temp.empty() ? nullptr : temp.c_str());
        const LauncherRun r = runWith(&configured);
        SetEnvironmentVariableA("TEMP", savedTemp.c_str());
        const auto starts = layout_->bridgeStarts();
        EXPECT_EQ(r.exitCode, 0u);
        EXPECT_TRUE(starts.empty());
        ASSERT_EQ(r.messageBoxes.size(), 1u);
        EXPECT_EQ(r.messageBoxes[0].text, kTempText);
        EXPECT_EQ(readTextFile(layout_->configFile()), configured) << "nothing written";
        printOutcomeRow("environment", input + " (launcher)", "the library's text in a box, nothing started",
                        observedOf(r, starts));
    }
}

} // namespace
