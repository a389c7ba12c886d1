// The pair library through its exports, against the setupc emulator: listing, install,
// check, remove and install-all with real pseudo-terminal ends.
#include "pair_library_fixture.h"

#include "admin_check.h"
#include "setupc_runner.h"
#include "vcom_test_env.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <regex>
#include <string>

using namespace clser::test;

namespace {

const std::string kNoPairs = "Error: Not found any installed virtual com ports.\n";
const std::string kInvalidNaming = "Error: Invalid naming of virtual COM port pair.\n";
const std::string kOccupied = "Error Install: The given COM port number is occupied.\n";

std::string n(int number) { return std::to_string(number); }

bool emulatorHasPair(int pairNumber)
{
    for (const auto& pair : emulatedPairs())
        if (pair.number == pairNumber)
            return true;
    return false;
}

// ---- listing ----------------------------------------------------------------------

TEST_F(PairLibraryTest, InitWithNoPairsThenNoPairToGet)
{
    ASSERT_EQ(TarvVComInit(), 1) << lastError();
    EXPECT_EQ(TarvVComGetCOMPairCount(), 0);
    char id[20] = {}, port[20] = {}, partner[20] = {};
    EXPECT_EQ(TarvVComGetOneCOMPair(0, id, port, partner), 0);
    EXPECT_EQ(lastError(), kNoPairs);

    EXPECT_EQ(TarvVComGetErrorDescription(nullptr), 51);
    char buffer[60];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(TarvVComGetErrorDescription(buffer), 0);
    EXPECT_EQ(std::memcmp(buffer, kNoPairs.c_str(), 51), 0);
    EXPECT_EQ(buffer[51], 'X');
}

struct ListCase {
    const char* name;
    std::string fileText;
    int initResult;
    std::vector<ListedPair> pairs;
    std::string error; // expected last-error text after a failed init
};

const std::string kPairLines = "       CNCA0 PortName=COM5\n       CNCB0 PortName=TARVCOM5\n";

const ListCase kListCases[] = {
    {"one_pair_with_leading_spaces", kPairLines, 1, {{"CNC0", "COM5", "TARVCOM5"}}, ""},
    {"empty_first_line", "\n" + kPairLines, 1, {}, ""},
    {"odd_lines_without_final_line_feed", kPairLines + "       CNCA1 PortName=COM6", 1,
     {{"CNC0", "COM5", "TARVCOM5"}}, ""},
    {"odd_lines_with_final_line_feed", kPairLines + "       CNCA1 PortName=COM6\n", 0,
     {{"CNC0", "COM5", "TARVCOM5"}}, kInvalidNaming},
    {"adjacent_duplicate", kPairLines + kPairLines, 1, {{"CNC0", "COM5", "TARVCOM5"}}, ""},
    {"two_digit_pair_number", "       CNCA12 PortName=COM9\n       CNCB12 PortName=TARVCOM9\n", 1,
     {{"CNC12", "COM9", "TARVCOM9"}}, ""},
};

TEST_F(PairLibraryTest, ListFileCasesThroughTheLibrary)
{
    for (const auto& c : kListCases) {
        SCOPED_TRACE(c.name);
        listWrites(c.fileText);
        TarvVComClose();
        EXPECT_EQ(TarvVComInit(), c.initResult);
        if (c.initResult == 0) {
            EXPECT_EQ(lastError(), c.error);
            continue;
        }
        EXPECT_EQ(listedPairs(), c.pairs);
    }
}

TEST_F(PairLibraryTest, PairTextsNeverOverrunTheCallersBuffers)
{
    listWrites("CNCA0 PortName=COM5ABCDEFGHIJKLMNOPQRST\nCNCB0 PortName=TARVCOM5\n");
    ASSERT_EQ(TarvVComInit(), 1) << lastError();
    struct Guarded {
        char text[20];
        char guard[8];
    } id{}, port{}, partner{};
    for (auto* g : {&id, &port, &partner})
        std::memset(g->guard, 0x5A, sizeof g->guard);
    ASSERT_EQ(TarvVComGetOneCOMPair(0, id.text, port.text, partner.text), 1);
    EXPECT_STREQ(id.text, "CNC0");
    EXPECT_STREQ(port.text, "COM5ABCDEFGHIJKLMNO");
    EXPECT_STREQ(partner.text, "TARVCOM5");
    for (auto* g : {&id, &port, &partner})
        EXPECT_EQ(std::count(g->guard, g->guard + 8, 0x5A), 8);
}

TEST_F(PairLibraryTest, InvalidIndexNamesTheLastIndex)
{
    listWrites("CNCA0 PortName=COM5\nCNCB0 PortName=TARVCOM5\n"
               "CNCA1 PortName=COM6\nCNCB1 PortName=TARVCOM6\n"
               "CNCA2 PortName=COM7\nCNCB2 PortName=TARVCOM7\n");
    ASSERT_EQ(TarvVComInit(), 1) << lastError();
    ASSERT_EQ(TarvVComGetCOMPairCount(), 3);
    char id[20] = {}, port[20] = {}, partner[20] = {};
    for (int index : {3, -1}) {
        EXPECT_EQ(TarvVComGetOneCOMPair(index, id, port, partner), 0);
        EXPECT_EQ(lastError(), "Error GetOneCOMPair: Invalid index, please give 0-2");
    }
    EXPECT_EQ(TarvVComGetOneCOMPair(2, id, port, partner), 1);
    EXPECT_STREQ(port, "COM7");
}

TEST_F(PairLibraryTest, FailedListingKeepsTheModuleInitialisedAndTheOldText)
{
    listWrites(kPairLines);
    ASSERT_EQ(TarvVComInit(), 1);
    configureEmulator("list = malformed\n");
    EXPECT_EQ(TarvVComInit(), 0);
    EXPECT_EQ(lastError(), kInvalidNaming);
    // Still initialised: the count is served without a state-check text.
    EXPECT_EQ(TarvVComGetCOMPairCount(), 0);
    EXPECT_EQ(lastError(), kInvalidNaming);
    configureEmulator("");
    EXPECT_EQ(TarvVComInit(), 1);
    EXPECT_EQ(lastError(), kInvalidNaming) << "a success clears nothing";
}

TEST_F(PairLibraryTest, MalformedListOnFirstInitLeavesTheModuleNotInitialised)
{
    configureEmulator("list = malformed\n");
    EXPECT_EQ(TarvVComInit(), 0);
    EXPECT_EQ(lastError(), kInvalidNaming);
    EXPECT_EQ(TarvVComGetCOMPairCount(), 0);
    EXPECT_EQ(lastError(), "Error: Modul is not succesfully initialized\n");
}

TEST_F(PairLibraryTest, TempUnsetOrTooLongFailsWithoutRunningSetupc)
{
    const std::string tooLong = "C:\\" + std::string(509, 't');
    for (const std::string& temp : {std::string(), tooLong}) {
        SCOPED_TRACE(temp.size());
        const std::string log = logRuns();
        if (temp.empty())
            unsetEnv("TEMP");
        else
            setEnv("TEMP", temp);
        TarvVComClose();
        EXPECT_EQ(TarvVComInit(), 0);
        EXPECT_EQ(lastError(), "Error: The TEMP directory is not set or its path is too long for the list file.\n");
        EXPECT_TRUE(loggedRuns(log).empty());
        setEnv("TEMP", savedTemp_);
    }
}

TEST_F(PairLibraryTest, TempWithABlankStillLists)
{
    const std::string temp = runDirectory("vcom") + "\\temp with blank";
    makeDirectories(temp);
    setEnv("TEMP", temp);
    const std::string log = logRuns();
    const int number = freePortNumber(20);
    ASSERT_EQ(runEmulator("--silent install PortName=COM" + n(number) + " PortName=TARVCOM" + n(number)), 0);
    ASSERT_EQ(TarvVComInit(), 1) << lastError();
    EXPECT_EQ(listedPairs(), (std::vector<ListedPair>{{"CNC0", "COM" + n(number), "TARVCOM" + n(number)}}));
    EXPECT_TRUE(fileExists(temp + "\\TarvVirtualCom.txt"));
    const auto runs = loggedRuns(log);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.back(), setupcFolder() + "|--output " + temp + "\\TarvVirtualCom.txt list");
}

TEST_F(PairLibraryTest, CommandLinesAndWorkingDirectoryOfEverySetupcRun)
{
    const std::string log = logRuns();
    ASSERT_EQ(TarvVComInit(), 1);
    const int number = freePortNumber(20);
    ASSERT_EQ(TarvVComInstall(number), 1);
    const int pair = emulatedPairNumber(number);
    ASSERT_GE(pair, 0);
    ASSERT_EQ(TarvVComRemove(("CNC" + n(pair)).c_str()), 1);
    ASSERT_TRUE(waitUntil([&] { return !emulatorHasPair(pair); }, 20000ms));

    const std::string list = setupcFolder() + "|--output " + savedTemp_ + "\\TarvVirtualCom.txt list";
    EXPECT_EQ(loggedRuns(log),
              (std::vector<std::string>{list,
                                        setupcFolder() + "|--silent install PortName=COM" + n(number) +
                                            " PortName=TARVCOM" + n(number),
                                        list, setupcFolder() + "|--silent remove " + n(pair)}));
}

TEST_F(PairLibraryTest, Tarvdir5_32ComesBeforeTarvdir5)
{
    const std::string root32 = makeCom0comRoot(runDirectory("vcom") + "\\root32");
    setEnv("TARVDIR5_32", root32);
    const std::string log = logRuns();
    ASSERT_EQ(TarvVComInit(), 1);
    const auto runs = loggedRuns(log);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].substr(0, runs[0].find('|')), root32 + "\\com0com\\" + architectureFolder());
}

// ---- install, check, remove --------------------------------------------------------

TEST_F(PairLibraryTest, InstallCheckAndRemoveAPair)
{
    ASSERT_EQ(TarvVComInit(), 1);
    const int number = freePortNumber(20);
    const std::string user = "COM" + n(number), bridge = "TARVCOM" + n(number);
    EXPECT_EQ(TarvVComCheckPortUse(number), 0);

    ASSERT_EQ(TarvVComInstall(number), 1) << lastError();
    EXPECT_TRUE(endOpenable(user));
    EXPECT_TRUE(endOpenable(bridge));
    EXPECT_TRUE(deviceListed(user));
    EXPECT_TRUE(deviceListed(bridge));
    EXPECT_EQ(TarvVComCheckPortUse(number), 1);
    const int pair = emulatedPairNumber(number);
    ASSERT_GE(pair, 0);
    const std::string id = "CNC" + n(pair);
    EXPECT_EQ(listedPairs(), (std::vector<ListedPair>{{id, user, bridge}})) << "install refreshes the list";

    EXPECT_EQ(TarvVComInstall(number), 0);
    EXPECT_EQ(lastError(), kOccupied);

    EXPECT_EQ(TarvVComRemove(id.c_str()), 1);
    EXPECT_EQ(TarvVComGetCOMPairCount(), 0) << "the removed pair leaves the list at once";
    ASSERT_TRUE(waitUntil([&] { return !emulatorHasPair(pair) && !deviceListed(user) && !deviceListed(bridge); },
                          20000ms));
    EXPECT_EQ(TarvVComCheckPortUse(number), 0);
    EXPECT_FALSE(endOpenable(user));
    ASSERT_EQ(TarvVComInit(), 1);
    EXPECT_EQ(TarvVComGetCOMPairCount(), 0);
}

TEST_F(PairLibraryTest, PortNumbersBelowOneAreRefused)
{
    ASSERT_EQ(TarvVComInit(), 1);
    EXPECT_EQ(TarvVComCheckPortUse(0), -1);
    EXPECT_EQ(lastError(), "Error: COM port number should greater than 0.\n");
    for (int number : {0, -2}) {
        EXPECT_EQ(TarvVComInstall(number), 0);
        EXPECT_EQ(lastError(), "Error Install: Invalid COM number, COM port number should be greater than 0.\n");
    }
}

TEST_F(PairLibraryTest, AnyDeviceNameTakesItsNumber)
{
    ensureDeviceName("COM3");
    ensureDeviceName("TARVCOM46");
    ASSERT_EQ(TarvVComInit(), 1);
    EXPECT_EQ(TarvVComCheckPortUse(3), 1);
    EXPECT_EQ(TarvVComInstall(3), 0);
    EXPECT_EQ(lastError(), kOccupied);
    EXPECT_EQ(TarvVComCheckPortUse(46), 1) << "the bridge end alone takes the number";
    EXPECT_TRUE(emulatedPairs().empty());
}

TEST_F(PairLibraryTest, RemoveRefusals)
{
    ASSERT_EQ(TarvVComInit(), 1);
    EXPECT_EQ(TarvVComRemove("CNC0"), 0);
    EXPECT_EQ(lastError(), "Error Remove: Not found any virtual COM ports.\n");

    listWrites(kPairLines + "       CNCAx PortName=COM6\n       CNCBx PortName=TARVCOM6\n");
    ASSERT_EQ(TarvVComInit(), 1);
    ASSERT_EQ(TarvVComGetCOMPairCount(), 2);
    EXPECT_EQ(TarvVComRemove(nullptr), 0);
    EXPECT_EQ(lastError(), "Error Remove: Invalid PortID.\n");
    EXPECT_EQ(TarvVComRemove("CNC7"), 0);
    EXPECT_EQ(lastError(), "Error Remove: Not found any virtual COM ports with this ID: CNC7\n");
    EXPECT_EQ(TarvVComRemove("cnc0"), 0);
    EXPECT_EQ(lastError(), "Error Remove: Not found any virtual COM ports with this ID: cnc0\n");
    EXPECT_EQ(TarvVComRemove("CNCx"), 0);
    EXPECT_EQ(lastError(), "Error Remove: Invalide port ID.\n");
    EXPECT_EQ(TarvVComGetCOMPairCount(), 2);
    EXPECT_EQ(TarvVComRemove("CNC0"), 1);
    EXPECT_EQ(listedPairs(), (std::vector<ListedPair>{{"CNCx", "COM6", "TARVCOM6"}}));
}

TEST_F(PairLibraryTest, PairNumbersOfTwoDigitsRemoveTheRightPair)
{
    configureEmulator("first_pair = 10\n");
    ASSERT_EQ(TarvVComInit(), 1);
    const int first = freePortNumber(20);
    ASSERT_EQ(TarvVComInstall(first), 1);
    const int second = freePortNumber(first + 1);
    ASSERT_EQ(TarvVComInstall(second), 1);
    ASSERT_EQ(listedPairs(), (std::vector<ListedPair>{{"CNC10", "COM" + n(first), "TARVCOM" + n(first)},
                                                      {"CNC11", "COM" + n(second), "TARVCOM" + n(second)}}));
    ASSERT_EQ(TarvVComRemove("CNC11"), 1);
    ASSERT_TRUE(waitUntil([] { return !emulatorHasPair(11); }, 20000ms));
    EXPECT_TRUE(emulatorHasPair(10));
    EXPECT_TRUE(endOpenable("COM" + n(first)));
    EXPECT_FALSE(deviceListed("COM" + n(second)));
}

TEST_F(PairLibraryTest, SetupcGoneAfterInit)
{
    listWrites(kPairLines);
    ASSERT_EQ(TarvVComInit(), 1);
    const std::string hidden = setupcPath() + ".gone";
    ASSERT_TRUE(MoveFileA(setupcPath().c_str(), hidden.c_str()));
    struct Restore {
        std::string from, to;
        ~Restore() { MoveFileA(from.c_str(), to.c_str()); }
    } restore{hidden, setupcPath()};

    EXPECT_EQ(TarvVComRemove("CNC0"), 0);
    EXPECT_EQ(lastError(), "Error Remove: Not found com0com client.\n");
    EXPECT_EQ(TarvVComGetCOMPairCount(), 1);

    EXPECT_EQ(TarvVComInstall(freePortNumber(20)), 0);
    EXPECT_TRUE(std::regex_match(lastError(), std::regex("Error Install: Internal error: [1-9][0-9]*\\.\n")))
        << lastError();

    EXPECT_EQ(TarvVComInit(), 0);
    EXPECT_EQ(lastError(), "Error: com0com client not found in\n >" + setupcFolder() + "<\n");
    EXPECT_EQ(TarvVComGetCOMPairCount(), 0);
}

// ---- progress on standard output, install-all ----------------------------------------

// Runs the probe program with these calls; its standard output.
std::string probe(const std::string& calls)
{
    const ProgramRun run = runProgram(vcomProbe(calls), 120000);
    EXPECT_EQ(run.status(), 0) << run.output;
    return run.ended ? run.output : "";
}

std::string literal(const std::string& text)
{
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}

// What one successful install prints. The ends are normally openable at the first
// attempt; a countdown line or two before success is allowed all the same.
std::string installedPattern(int number)
{
    return literal("Installing virtual com port pair with portnameA = COM" + n(number) + " portnameB = TARVCOM" +
                   n(number) + "\n") +
           "(\rWaiting for install, timeout up to 5 minutes: 0[0-5]:[0-5][0-9])*" +
           literal("\nInstall succesfully done.\n\n");
}

TEST_F(PairLibraryTest, ProgressLinesCountDownUntilTheEndsAppear)
{
    configureEmulator("ends = after 2500\n");
    const int number = freePortNumber(20);
    const std::string output = probe("init install " + n(number));

    const std::string head = "init=1\nInstalling virtual com port pair with portnameA = COM" + n(number) +
                             " portnameB = TARVCOM" + n(number) + "\n";
    const std::string tail = "\nInstall succesfully done.\n\ninstall=1\n";
    ASSERT_EQ(output.substr(0, head.size()), head) << output;
    ASSERT_GE(output.size(), head.size() + tail.size());
    ASSERT_EQ(output.substr(output.size() - tail.size()), tail) << output;
    std::string countdown = output.substr(head.size(), output.size() - head.size() - tail.size());
    int expectedSecondsLeft = 300;
    const std::string line = "\rWaiting for install, timeout up to 5 minutes: ";
    while (!countdown.empty()) {
        char shown[8];
        std::snprintf(shown, sizeof shown, "%02d:%02d", expectedSecondsLeft / 60, expectedSecondsLeft % 60);
        ASSERT_EQ(countdown.substr(0, line.size() + 5), line + shown) << output;
        countdown.erase(0, line.size() + 5);
        --expectedSecondsLeft;
    }
    const int lines = 300 - expectedSecondsLeft;
    EXPECT_GE(lines, 1);
    EXPECT_LE(lines, 20);
    EXPECT_TRUE(endOpenable("COM" + n(number)));
}

TEST_F(PairLibraryTest, InstallAllNumbersFromTenOrAboveTheHighestNumber)
{
    const int first = std::max(highestPortNumberInUse(), 9) + 1;
    const std::string output = probe("init installall count pair 0 pair 1");
    const std::string expected =
        "init=1\nInstalling virtual com ports: 1\n" + installedPattern(first) +
        "Installing virtual com ports: 2\n" + installedPattern(first + 1) +
        literal("installall=1\ncount=2\npair=1 CNC0 COM" + n(first) + " TARVCOM" + n(first) + "\npair=1 CNC1 COM" +
                n(first + 1) + " TARVCOM" + n(first + 1) + "\n");
    EXPECT_TRUE(std::regex_match(output, std::regex(expected))) << output;
    EXPECT_TRUE(endOpenable("TARVCOM" + n(first)));
    EXPECT_TRUE(endOpenable("TARVCOM" + n(first + 1)));
}

TEST_F(PairLibraryTest, InstallAllAddsOnlyTheMissingPairsAboveTheHighestName)
{
    ensureDeviceName("COM3");
    ensureDeviceName("TARVCOM12");
    configureCameraPorts(4);
    // The listed pair stays below TARVCOM12. (Ends named COM1 to COM9 are avoided: the
    // rig's state files for them would carry reserved DOS device names.)
    const int listed = freePortNumber(10);
    ASSERT_LT(listed, 12);
    const int first = highestPortNumberInUse() + 1;
    const std::string output = probe("init install " + n(listed) + " installall count");
    const std::string expected = "init=1\n" + installedPattern(listed) + "install=1\n" +
                                 "Installing virtual com ports: 1\n" + installedPattern(first) +
                                 "Installing virtual com ports: 2\n" + installedPattern(first + 1) +
                                 "Installing virtual com ports: 3\n" + installedPattern(first + 2) +
                                 "installall=1\ncount=4\n";
    EXPECT_TRUE(std::regex_match(output, std::regex(expected))) << output;
}

TEST_F(PairLibraryTest, InstallAllWithoutCameraLinkPortsInstallsNothing)
{
    configureCameraPorts(0);
    ASSERT_EQ(TarvVComInit(), 1);
    EXPECT_EQ(TarvVComInstallAll(), 1);
    EXPECT_EQ(lastError(), "Error: Cannot find any CameraLink boards, please check the system configuration.\n");
    EXPECT_TRUE(emulatedPairs().empty());

    // Without this system's own serial library, the text says why.
    const ScratchTree layout(runDirectory("vcom") + "\\no-own-library");
    ASSERT_TRUE(layout.copyBuildFiles("bin", {"vcom_probe.exe", "TarvVirtualComPort.dll"}));
    ProgramStart start = vcomProbe("init installall error", layout.path("bin"));
    start.directory = layout.path("bin");
    const std::string output = runProgram(start, 120000).output;
    EXPECT_TRUE(std::regex_match(output, std::regex("init=1\ninstallall=1\nerror=\\[The Camera Link serial library "
                                                    "clserbvk\\.dll cannot be loaded \\(.+\\)\\]\n"))) << output;
}

TEST_F(PairLibraryTest, InstallAllStopsAtTheFirstFailure)
{
    const int first = std::max(highestPortNumberInUse(), 9) + 1;
    const std::string hidden = setupcPath() + ".gone";
    const std::string output = probe("init move \"" + setupcPath() + "\" \"" + hidden + "\" installall error");
    MoveFileA(hidden.c_str(), setupcPath().c_str());
    const std::regex expected("init=1\nmove=1\nInstalling virtual com ports: 1\n"
                              "Installing virtual com port pair with portnameA = COM" +
                              n(first) + " portnameB = TARVCOM" + n(first) +
                              "\nInstall failed!!!!!!!\ninstallall=0\n"
                              "error=\\[Error Install: Internal error: [1-9][0-9]*\\.\n\\]\n");
    EXPECT_TRUE(std::regex_match(output, expected)) << output;
    EXPECT_TRUE(emulatedPairs().empty());
}

// ---- where setupc is found, how it is started -------------------------------------

TEST_F(PairLibraryTest, SetupcBelowTheParentOfTheProgramsDirectory)
{
    const ScratchTree layout(runDirectory("vcom") + "\\layout");
    ASSERT_TRUE(layout.copyBuildFiles("bin", {"vcom_probe.exe", "TarvVirtualComPort.dll", "clserbvk.dll"}));
    const std::string folder = layout.path("com0com\\" + architectureFolder());
    makeDirectories(folder);
    unsetEnv("TARVDIR5");

    ProgramRun run = runProgram(vcomProbe("init error", layout.path("bin")), 120000);
    ASSERT_EQ(run.status(), 0);
    EXPECT_EQ(run.output, "init=0\nerror=[Not found com0com in \"$(TARVDIR5_32)\", \"$(TARVDIR5_64)\", \"$(TARVDIR5)\", "
                          "or \"" + layout.root() + "\\com0com\"\nPlease check the installation.\n]\n");

    ASSERT_TRUE(copyBuildFiles(folder, {"setupc.exe"}));
    const std::string log = logRuns();
    run = runProgram(vcomProbe("init count", layout.path("bin")), 120000);
    ASSERT_EQ(run.status(), 0);
    EXPECT_EQ(run.output, "init=1\ncount=0\n");
    const auto runs = loggedRuns(log);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].substr(0, runs[0].find('|')), folder);
}

TEST_F(PairLibraryTest, BothVerbsStartSetupcUnderWine)
{
    for (const char* verb : {"open", "runas"}) {
        SCOPED_TRACE(verb);
        const std::string listFile = runDirectory("vcom") + "\\verb-list.txt";
        DeleteFileA(listFile.c_str());
        const auto run = clser::vcom::runSetupc(setupcPath(), setupcFolder(), verb, "--output " + listFile + " list",
                                                30000);
        EXPECT_EQ(run.outcome, clser::vcom::SetupcRun::Finished);
        EXPECT_TRUE(fileExists(listFile));
    }
    const auto missing = clser::vcom::runSetupc(setupcFolder() + "\\missing.exe", setupcFolder(), "runas", "list", 30000);
    EXPECT_EQ(missing.outcome, clser::vcom::SetupcRun::StartFailed);
    EXPECT_NE(missing.lastError, 0u);
}

// Wine gives its processes administrator rights, so the library starts setupc with
// "open" there; the check itself must get through every step to say so.
TEST(AdministratorCheck, WineProcessHasAdministratorRights)
{
    EXPECT_TRUE(clser::vcom::isUserAdmin());
}

} // namespace
