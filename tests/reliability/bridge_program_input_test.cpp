// ClserDunmere2.exe itself against command lines and environments a user's machine can
// produce. Every case is a process of its own, installed beside the pair library, the
// simulated camera and the setupc emulator; all start at once and each is then checked
// and ended: a box shown where one is due (and answered), the window in the state the
// start values call for, and no crash or hang.
#include "app_test_support.h"
#include "child_process.h"
#include "outcome_row.h"
#include "resource.h"
#include "unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace clser::test;
using clser::reliability::cellText;
using clser::reliability::printOutcomeRow;

namespace {

constexpr char kMainCaption[] = "ClSerDunmere";
constexpr char kProgramTitle[] = "ClserDunmere2";
const std::string kTempText = "Error: The TEMP directory is not set or its path is too long for the list file.\n";

enum class Sdk { Full, Partial, NoBoardNames, None };

// <run>\app\<name>\<folder>\ClserDunmere2.exe with the DLLs it needs; com0com beside
// <folder> when asked. A folder named bin makes its parent the SDK root.
struct Stage {
    Stage(const std::string& name, const std::string& folder, Sdk sdk, bool com0com)
        : tree(runDirectory("app") + "\\" + name), dir(tree.path(folder)),
          ok(tree.copyBuildFiles(folder, {"ClserDunmere2.exe", "TarvVirtualComPort.dll", "clserbvk.dll"}))
    {
        const std::string bin = programDirectory();
        for (const char* file : {"acqlib5.dll", "tarv_hal.dll"}) {
            const std::string target = folder + "\\" + file;
            if (sdk == Sdk::Full)
                ok = tree.copyInto(bin + "\\" + file, target) && ok;
            else if (sdk == Sdk::Partial || (sdk == Sdk::NoBoardNames && std::string(file) == "tarv_hal.dll"))
                ok = tree.copyInto(bin + "\\sdk-partial\\" + file, target) && ok;
            else if (sdk == Sdk::NoBoardNames)
                ok = tree.copyInto(bin + "\\" + file, target) && ok;
        }
        if (com0com)
            ok = tree.copyBuildFiles("com0com\\" + architectureFolder(), {"setupc.exe"}) && ok;
    }
    std::string program() const { return dir + "\\ClserDunmere2.exe"; }

    const ScratchTree tree;
    const std::string dir;
    bool ok;
};

enum class Outcome {
    Window,      // the main dialog stays, in the given state
    BoxThenEnd,  // a box, and the program ends once it is answered
};

struct Case {
    std::string input;
    const Stage* where;
    std::string parameters;
    std::map<std::string, std::optional<std::string>> environment; // for the child, see ProgramStart
    Outcome outcome;
    std::string boxCaption; // a box due before anything else ("" = none)
    std::string boxText;    // its text, or the start of it
    std::string pane0;      // Window: status panes 0 and 2 exactly, pane 1 by its end
    std::string pane1End;
    std::string pane2;
    bool hidden = false;    // Window: hidden into the tray
    std::string expected;
};

struct Running {
    const Case* c;
    clser::UniqueHandle process;
};

std::string panesOf(HANDLE process, HWND bar)
{
    return "\"" + remoteStatusPane(process, bar, 0) + "\" / \"" + remoteStatusPane(process, bar, 1) + "\" / \"" +
           remoteStatusPane(process, bar, 2) + "\"";
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Checks one running case and returns what was seen; *main is its main dialog when it
// stays.
std::string check(const Running& r, HWND* mainOut)
{
    const Case& c = *r.c;
    HANDLE process = r.process.get();
    const DWORD pid = GetProcessId(process);
    std::string observed;
    if (!c.boxCaption.empty()) {
        auto box = waitForBox(pid, c.boxCaption, 60000);
        EXPECT_TRUE(box) << "a box captioned " << c.boxCaption;
        if (!box)
            return "no box";
        EXPECT_EQ(box->text.rfind(c.boxText, 0), 0u) << box->text;
        observed = "box \"" + cellText(box->text, 70) + "\"";
        answer(box->window, IDOK);
    }
    if (c.outcome == Outcome::BoxThenEnd) {
        const bool ended = WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
        EXPECT_TRUE(ended);
        EXPECT_EQ(exitCodeOf(process), 0u);
        EXPECT_EQ(mainWindowOf(pid), nullptr) << "no main dialog";
        return observed + (ended ? ", ended with " + std::to_string(exitCodeOf(process)) : ", DID NOT END");
    }

    HWND main = nullptr;
    HWND bar = nullptr;
    const bool shown = waitUntil(
        [&] {
            main = mainWindowOf(pid);
            bar = main ? FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr) : nullptr;
            return bar && (c.pane0.empty() || remoteStatusPane(process, bar, 0) == c.pane0);
        },
        60000ms);
    EXPECT_TRUE(shown) << "main dialog with status " << c.pane0;
    if (!shown)
        return observed + (WaitForSingleObject(process, 0) == WAIT_OBJECT_0 ? " PROCESS ENDED" : " no main dialog");
    if (c.hidden)
        EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }, 10000ms)) << "hidden into the tray";
    else
        EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000ms)) << "shown";
    Sleep(300);
    EXPECT_EQ(remoteStatusPane(process, bar, 0), c.pane0);
    EXPECT_TRUE(endsWith(remoteStatusPane(process, bar, 1), c.pane1End)) << remoteStatusPane(process, bar, 1);
    EXPECT_EQ(remoteStatusPane(process, bar, 2), c.pane2);
    EXPECT_FALSE(boxShown(pid, kProgramTitle)) << "no message";
    *mainOut = main;
    return observed + std::string(observed.empty() ? "" : ", ") +
           (IsWindowVisible(main) ? "window shown" : "in the tray") + ", panes " + panesOf(process, bar);
}

TEST(BridgeProgramBadInput, CommandLinesAndEnvironments)
{
    const Stage normal("reliability-normal", "bin", Sdk::Full, true);
    const Stage sdkFile("reliability-sdk-file", "app", Sdk::None, true);
    const Stage noCom0com("reliability-no-com0com", "app", Sdk::None, false);
    const Stage partial("reliability-sdk-partial", "bin", Sdk::Partial, true);
    const Stage noNames("reliability-sdk-no-names", "bin", Sdk::NoBoardNames, true);
    for (const Stage* s : {&normal, &sdkFile, &noCom0com, &partial, &noNames})
        ASSERT_TRUE(s->ok) << s->tree.root();
    const std::string aFile = sdkFile.tree.root() + "\\not-a-directory.txt";
    writeTextFile(aFile, "a file, not an SDK root\r\n");

    const int p = freePortNumber(70);
    ASSERT_TRUE(installEmulatedPair(p));
    const int q = freePortNumber(p + 1);
    ASSERT_TRUE(installEmulatedPair(q));
    const std::string P = "COM" + std::to_string(p);
    const std::string Q = "COM" + std::to_string(q);
    const std::string fiftyCommas = "115200,E,7,2" + std::string(47, ',');
    const std::map<std::string, std::optional<std::string>> noSdkEnvironment = {{"TARVDIR5_32", std::nullopt},
                                                                                 {"TARVDIR5", aFile}};

    const std::vector<Case> cases = {
        {"empty", &normal, "", {}, Outcome::Window, "", "", "Not connected", "<->0. SimBoard_Port0", "9600 n 8 1",
         false, "window shown, not connected, first pair and first port selected"},
        {"only separators (blanks and tabs)", &normal, "  \t \t   ", {}, Outcome::Window, "", "", "Not connected",
         "<->0. SimBoard_Port0", "9600 n 8 1", false, "as empty"},
        {"one argument of 4 KB (COM and 4093 letters) and index 0", &normal, "COM" + std::string(4093, 'A') + " 0",
         {}, Outcome::Window, "", "", "Not connected", "<->", "9600 n 8 1", false,
         "no such pair: names cleared, window shown, not connected"},
        {"index of 20 digits", &normal, P + " 99999999999999999999 9600,n,8,1 Autorun", {}, Outcome::Window, "", "",
         "Not connected", "<->", "9600 n 8 1", false, "index too large: names cleared, window shown"},
        {"COM followed by 300 digits", &normal, "COM" + std::string(300, '7') + " 0 9600,n,8,1 Autorun", {},
         Outcome::Window, "", "", "Not connected", "<->", "9600 n 8 1", false,
         "no such pair: names cleared, window shown"},
        {"line settings with 50 commas (115200,E,7,2,,,...)", &normal, P + " 0 " + fiftyCommas + " Autorun", {},
         Outcome::Window, "", "", "Connected", P + "<->0. SimBoard_Port0", "115200 e 7 1", true,
         "connected in the tray; the fourth field is \"2,,,...\", so one stop bit"},
        {"index 99 (launcher, clser = 99)", &normal, P + " 99 9600,n,8,1 Autorun", {}, Outcome::Window, "", "",
         "Not connected", "<->", "9600 n 8 1", false, "index too large: names cleared, window shown"},
        {"line settings 0,n,8,1 (launcher, baudrate = fast)", &normal, Q + " 1 0,n,8,1 Autorun", {},
         Outcome::Window, "", "", "Connected", Q + "<->1. SimBoard_Port1", "9600 n 8 1", true,
         "connected in the tray at 9600"},
        {"TEMP unset", &normal, P + " 0 9600,n,8,1 Autorun", {{"TEMP", std::nullopt}}, Outcome::BoxThenEnd, "Error",
         kTempText, "", "", "", false, "the library's text in a box, then the program ends"},
        {"TEMP of 600 characters", &normal, P + " 0 9600,n,8,1 Autorun", {{"TEMP", "C:\\" + std::string(597, 't')}},
         Outcome::BoxThenEnd, "Error", kTempText, "", "", "", false,
         "the library's text in a box, then the program ends"},
        {"TARVDIR5 names a file (program outside a bin folder)", &sdkFile, P + " 0 9600,n,8,1 Autorun",
         noSdkEnvironment, Outcome::Window, "", "", "Not connected", "<->", "9600 n 8 1", false,
         "no SDK: only the other maker's ports, not the start port: window shown, not connected"},
        {"TARVDIR5 names a file, no com0com beside the program", &noCom0com, P + " 0 9600,n,8,1 Autorun",
         noSdkEnvironment, Outcome::BoxThenEnd, "Error", "Not found com0com in ", "", "", "", false,
         "the library's com0com-not-found text, then the program ends"},
        {"SDK DLLs without Fg_getSystemInformation and THalGetBoardInfoString", &partial,
         P + " 0 9600,n,8,1 Autorun", {}, Outcome::Window, "", "", "Not connected", "<->", "9600 n 8 1", false,
         "no own boards, only the other maker's ports: window shown, not connected"},
        {"tarv_hal.dll without THalGetBoardInfoString (acqlib5.dll complete)", &noNames, P + " 0 9600,n,8,1 Autorun",
         {}, Outcome::Window, "", "", "Not connected", "<->", "9600 n 8 1", false,
         "boards without a name make no entry: only the other maker's ports, window shown, not connected"},
    };

    std::vector<Running> running;
    for (const auto& c : cases) {
        clser::UniqueHandle process = startProgram({c.where->program(), c.parameters, c.where->dir, c.environment});
        EXPECT_TRUE(process) << c.input;
        if (process)
            running.push_back({&c, std::move(process)});
    }
    std::vector<std::string> observed;
    std::vector<HWND> mains;
    for (const auto& r : running) {
        SCOPED_TRACE(r.c->input);
        HWND main = nullptr;
        observed.push_back(check(r, &main));
        mains.push_back(main);
    }
    // The Exit command to every window at once; each asks, and OK ends the program.
    for (HWND main : mains)
        if (main)
            PostMessageA(main, WM_COMMAND, ID_EXIT, 0);
    for (std::size_t i = 0; i < running.size(); ++i) {
        if (!mains[i])
            continue;
        SCOPED_TRACE(running[i].c->input);
        auto ask = waitForBox(GetProcessId(running[i].process.get()), kProgramTitle, 20000);
        EXPECT_TRUE(ask) << "exit asks";
        if (ask)
            answer(ask->window, IDOK);
    }
    for (std::size_t i = 0; i < running.size(); ++i) {
        SCOPED_TRACE(running[i].c->input);
        if (mains[i]) {
            const bool ended = WaitForSingleObject(running[i].process.get(), 20000) == WAIT_OBJECT_0;
            EXPECT_TRUE(ended);
            observed[i] += ended ? ", Exit ends it" : ", EXIT DID NOT END IT";
        }
        printOutcomeRow("bridge program", running[i].c->input, running[i].c->expected, observed[i]);
    }
    for (const auto& r : running) {
        if (WaitForSingleObject(r.process.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(r.process.get(), 1);
            WaitForSingleObject(r.process.get(), 15000);
        }
    }
    removeEmulatedPair(p);
    removeEmulatedPair(q);
}

} // namespace
