// ClserDunmere2.exe itself, installed in a directory of its own with the pair library,
// the simulated camera, the SDK stand-ins and the setupc emulator below its parent, and
// started the way the launcher starts it.
#include "app_test_support.h"
#include "child_process.h"
#include "user_port.h"
#include "pty_rig.h"
#include "resource.h"
#include "unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <utility>

using namespace clser::test;

namespace {

constexpr char kMainCaption[] = "ClSerDunmere";
constexpr char kProgramTitle[] = "ClserDunmere2";

// <run>\app\<name>\bin with the program and the DLLs it needs; com0com optional, and
// this system's own Camera Link library too.
class StagedProgram {
public:
    StagedProgram(const std::string& name, bool withCom0com, bool withOwnLibrary = true)
        : tree_(runDirectory("app") + "\\" + name), bin_(tree_.path("bin")),
          copied_(tree_.copyBuildFiles("bin", {"ClserDunmere2.exe", "TarvVirtualComPort.dll", "acqlib5.dll",
                                               "tarv_hal.dll"}) &&
                  (!withOwnLibrary || tree_.copyBuildFiles("bin", {"clserbvk.dll"})))
    {
        if (withCom0com)
            copied_ = tree_.copyBuildFiles("com0com\\" + architectureFolder(), {"setupc.exe"}) && copied_;
    }

    bool ok() const { return copied_; }
    const std::string& root() const { return tree_.root(); }
    std::string program() const { return bin_ + "\\ClserDunmere2.exe"; }

    // As the launcher does: hidden, working directory beside the program.
    clser::UniqueHandle startHidden(const std::string& parameters) const
    {
        SHELLEXECUTEINFOA run{};
        run.cbSize = sizeof run;
        run.fMask = SEE_MASK_NOCLOSEPROCESS;
        run.lpVerb = "open";
        const std::string exe = program();
        run.lpFile = exe.c_str();
        run.lpParameters = parameters.c_str();
        run.lpDirectory = bin_.c_str();
        run.nShow = SW_HIDE;
        if (!ShellExecuteExA(&run))
            return clser::UniqueHandle();
        return clser::UniqueHandle(run.hProcess);
    }

    // Shown normally, with standard output going to a file.
    clser::UniqueHandle startWithOutput(const std::string& parameters, const std::string& outputFile) const
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        clser::UniqueFile out(CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out)
            return clser::UniqueHandle();
        ProgramStart start;
        start.program = program();
        start.arguments = parameters;
        start.directory = bin_;
        start.output = out.get();
        return startProgram(start);
    }

private:
    ScratchTree tree_;
    std::string bin_;
    bool copied_;
};

// Ends a process that a failed test left running.
void stopIfRunning(HANDLE process)
{
    if (process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 15000);
    }
}

void exitProgram(HANDLE process, HWND mainWindow)
{
    const DWORD pid = GetProcessId(process);
    PostMessageA(mainWindow, WM_COMMAND, ID_EXIT, 0);
    auto ask = waitForBox(pid, kProgramTitle, 15000);
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->text, "Do you really want to exit Dunmere?");
    answer(ask->window, IDOK);
    ASSERT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0) << "the process ends";
    EXPECT_EQ(exitCodeOf(process), 0u);
}

// This system's own camera, and another maker's in the Camera Link library folder with
// this system's own library absent: the program needs it only for its own ports.
struct LauncherStart {
    const char* name;
    bool withOwnLibrary;
    const char* word;
    const char* serialNumber;
    const char* portPane;
};

void expectStartedByTheLauncherServesATerminal(const LauncherStart& row)
{
    StagedProgram staged(row.name, true, row.withOwnLibrary);
    ASSERT_TRUE(staged.ok());
    const int number = freePortNumber(40);
    ASSERT_TRUE(installEmulatedPair(number));
    const std::string port = "COM" + std::to_string(number);

    clser::UniqueHandle process = staged.startHidden(port + " 0 9600,n,8,1 Autorun" + row.word);
    ASSERT_TRUE(process);
    const DWORD pid = GetProcessId(process.get());
    HWND main = nullptr;
    HWND bar = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] {
            main = mainWindowOf(pid);
            bar = main ? FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr) : nullptr;
            return bar && remoteStatusPane(process.get(), bar, 0) == "Connected";
        },
        30000ms));
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(main) && GetAncestor(main, GA_PARENT) != GetDesktopWindow(); },
                          5000ms))
        << "hidden in the tray";
    EXPECT_EQ(remoteStatusPane(process.get(), bar, 1), port + "<->" + row.portPane);
    EXPECT_EQ(remoteStatusPane(process.get(), bar, 2), "9600 n 8 1");
    EXPECT_EQ(remoteStatusPane(process.get(), bar, 3), "Echo off");
    EXPECT_FALSE(windowsOfProcess(pid, "TrayIconClass").empty());

    clser::test::UserPort terminal;
    ASSERT_TRUE(terminal.open(port));
    ASSERT_TRUE(terminal.write("sn?\r"));
    EXPECT_EQ(terminal.read(10, 10000), row.serialNumber);
    ASSERT_TRUE(terminal.write("gain 7\rgain?\r"));
    EXPECT_EQ(terminal.read(7, 10000), "OK\r\n7\r\n");
    terminal.close();

    exitProgram(process.get(), main);
    clser::UniqueFile bridgeEnd(CreateFileA(("\\\\.\\TARV" + port).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(bridgeEnd.valid()) << "the bridge let its port go";
    bridgeEnd.reset();

    stopIfRunning(process.get());
    removeEmulatedPair(number);
}

TEST(Program, StartedByTheLauncherConnectsHidesAndServesATerminal)
{
    const LauncherStart rows[] = {
        {"launcher-start", true, "", "SIM-0000\r\n", "0. SimBoard_Port0"},
        {"launcher-start-other-maker", false, " CLLIB=clserlrk.dll", "LRK-1000\r\n", "Larkspur Imaging port 0"},
    };
    for (const LauncherStart& row : rows) {
        SCOPED_TRACE(row.name);
        expectStartedByTheLauncherServesATerminal(row);
    }
}

std::string firstLine(const std::string& path)
{
    std::string text;
    waitUntil([&] { return (text = readTextFile(path)).find('\n') != std::string::npos; }, 15000ms);
    const auto end = text.find_first_of("\r\n");
    return text.substr(0, end);
}

int mutexNumber(const std::string& line)
{
    const std::string prefix = "clserdunmeremutex";
    if (line.rfind(prefix, 0) != 0)
        return -1;
    return std::atoi(line.c_str() + prefix.size());
}

TEST(Program, EachInstanceTakesTheNextMutexNumberAndNoneIsReusedWhileHeld)
{
    StagedProgram staged("instances", true);
    ASSERT_TRUE(staged.ok());
    const std::string out = staged.root() + "\\instance-";

    clser::UniqueHandle first = staged.startWithOutput("", out + "1.txt");
    ASSERT_TRUE(first);
    HWND firstMain = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (firstMain = mainWindowOf(GetProcessId(first.get()))) != nullptr; }, 30000ms));
    const int a = mutexNumber(firstLine(out + "1.txt"));
    ASSERT_GE(a, 0) << readTextFile(out + "1.txt");

    clser::UniqueHandle second = staged.startWithOutput("", out + "2.txt");
    ASSERT_TRUE(second);
    HWND secondMain = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (secondMain = mainWindowOf(GetProcessId(second.get()))) != nullptr; }, 30000ms));
    EXPECT_EQ(mutexNumber(firstLine(out + "2.txt")), a + 1) << "the second one runs normally with the next number";

    exitProgram(first.get(), firstMain);
    clser::UniqueHandle third = staged.startWithOutput("", out + "3.txt");
    ASSERT_TRUE(third);
    HWND thirdMain = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (thirdMain = mainWindowOf(GetProcessId(third.get()))) != nullptr; }, 30000ms));
    EXPECT_EQ(mutexNumber(firstLine(out + "3.txt")), a + 2) << "the second still holds every lower number";

    exitProgram(second.get(), secondMain);
    exitProgram(third.get(), thirdMain);
    for (HANDLE p : {first.get(), second.get(), third.get()})
        stopIfRunning(p);
}

TEST(Program, WithoutCom0comTheLibrarysTextIsShownAndTheProgramEnds)
{
    _putenv_s("TARVDIR5", "");
    _putenv_s("TARVDIR5_32", "");
    StagedProgram staged("no-com0com", false);
    ASSERT_TRUE(staged.ok());
    clser::UniqueHandle process = staged.startHidden("COM5 0 9600,n,8,1 Autorun");
    ASSERT_TRUE(process);
    const DWORD pid = GetProcessId(process.get());
    auto box = waitForBox(pid, "", 30000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text.rfind("Not found com0com in ", 0), 0u) << box->text;
    EXPECT_NE(box->text.find(staged.root() + "\\com0com"), std::string::npos) << box->text;
    EXPECT_EQ(GetWindow(box->window, GW_OWNER), nullptr) << "no owner window";
    EXPECT_EQ(box->caption, "Error") << "the system's default caption";
    EXPECT_TRUE(windowsOfProcess(pid, "TrayIconClass").empty()) << "no tray icon";
    EXPECT_EQ(mainWindowOf(pid), nullptr) << "no main dialog";
    answer(box->window, IDOK);
    EXPECT_EQ(WaitForSingleObject(process.get(), 15000), WAIT_OBJECT_0);
    EXPECT_EQ(exitCodeOf(process.get()), 0u);
    stopIfRunning(process.get());
}

// The running process of a program file, found by its full path.
clser::UniqueHandle processOfProgram(const std::string& path)
{
    clser::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE)
        return clser::UniqueHandle();
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        clser::UniqueHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                            SYNCHRONIZE | PROCESS_TERMINATE,
                        FALSE, entry.th32ProcessID));
        if (!process)
            continue;
        char image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameA(process.get(), 0, image, &size) && lstrcmpiA(image, path.c_str()) == 0 &&
            WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT)
            return process;
    }
    return clser::UniqueHandle();
}

// Copies the launcher beside the staged program and runs it there; it starts the bridge
// and ends without waiting for it.
void runLauncherBeside(const StagedProgram& staged)
{
    const std::string bin = staged.root() + "\\bin";
    ASSERT_TRUE(copyBuildFiles(bin, {"ClserDunmereAutorun.exe"}));
    ProgramStart launcher{bin + "\\ClserDunmereAutorun.exe", "", bin};
    launcher.creationFlags = CREATE_NO_WINDOW;
    const ProgramRun run = runProgram(launcher, 120000);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
}

// The bridge the launcher started, once its status bar says "Connected".
void waitForConnectedBridge(const StagedProgram& staged, clser::UniqueHandle& bridge, HWND& main, HWND& bar)
{
    ASSERT_TRUE(waitUntil([&] { return (bridge = processOfProgram(staged.program())).valid(); }, 20000ms));
    const DWORD pid = GetProcessId(bridge.get());
    ASSERT_TRUE(waitUntil(
        [&] {
            main = mainWindowOf(pid);
            bar = main ? FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr) : nullptr;
            return bar && remoteStatusPane(bridge.get(), bar, 0) == "Connected";
        },
        30000ms));
}

TEST(Program, TheLauncherStartsItFromTheConfigurationFile)
{
    StagedProgram staged("with-launcher", true);
    ASSERT_TRUE(staged.ok());
    const std::string bin = staged.root() + "\\bin";
    const int number = freePortNumber(60);
    ASSERT_TRUE(installEmulatedPair(number));
    const std::string port = "COM" + std::to_string(number);
    // A record path with blanks, relative to the programs, keeps its letter case.
    makeDirectories(bin + "\\Records Of Mine");
    const std::string record = bin + "\\Records Of Mine\\Com A.log";
    writeTextFile(bin + "\\DunmereConfig.ini", "[connection1]\r\ncom=" + port +
                                                  "\r\nclser=0\r\nbaudrate=19200\r\nparity=e\r\ndatabit=7\r\n"
                                                  "stopbit=1\r\nrun=1\r\nconnect=1\r\n"
                                                  "recordfile=Records Of Mine\\Com A.log\r\n");
    runLauncherBeside(staged);
    if (HasFatalFailure())
        return;

    clser::UniqueHandle bridge;
    HWND main = nullptr;
    HWND bar = nullptr;
    waitForConnectedBridge(staged, bridge, main, bar);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(remoteStatusPane(bridge.get(), bar, 2), "19200 e 7 1") << "the section's line settings";
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }, 15000ms));

    clser::test::UserPort terminal;
    ASSERT_TRUE(terminal.open(port));
    ASSERT_TRUE(terminal.write("id?\r"));
    EXPECT_EQ(terminal.read(28, 10000), "SIMCAM-CL simulated camera\r\n");
    terminal.close();

    // A logoff: the program lets it go on and, before its answer to the session's end
    // returns (Windows may end the process then), has disconnected and ended the record.
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << "the logoff goes on";
    EXPECT_TRUE(SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &answer));
    const std::vector<std::string> lines = splitLines(readTextFile(record));
    EXPECT_EQ(WaitForSingleObject(bridge.get(), 10000), WAIT_OBJECT_0) << "the process ends by itself";
    stopIfRunning(bridge.get());
    removeEmulatedPair(number);
    WIN32_FIND_DATAA found{};
    const clser::UniqueFind find(FindFirstFileA(record.c_str(), &found));
    ASSERT_TRUE(find.valid()) << record;
    EXPECT_STREQ(found.cFileName, "Com A.log") << "the file name keeps its letter case";
    ASSERT_GE(lines.size(), 5u) << "the record of " << record;
    EXPECT_NE(lines[0].find(" * ClserDunmere2 "), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(", traffic record"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("line settings 19200,e,7,1"), std::string::npos) << lines[1];
    const std::string text = readTextFile(record);
    EXPECT_NE(text.find(" COM->CL 4 69 64 3f 0d |id?.|"), std::string::npos);
    EXPECT_NE(text.find(" CL->COM 28 53 49 4d 43 41 4d "), std::string::npos);
    EXPECT_NE(lines[lines.size() - 2].find(" * Disconnected"), std::string::npos) << lines[lines.size() - 2];
    EXPECT_NE(lines.back().find(" * Recording ends"), std::string::npos) << "written out at the logoff";
}

// Both programs run with the rights of the user who starts them (so that Windows never
// redirects what they write beside themselves), know Windows 7 to 11, and the tray program
// scales per monitor where it can.
TEST(Program, ManifestsDeclareTheRightsTheWindowsVersionsAndTheScaling)
{
    const std::pair<const char*, bool> rows[] = {{"ClserDunmere2.exe", true}, {"ClserDunmereAutorun.exe", false}};
    for (const auto& [program, perMonitor] : rows) {
        SCOPED_TRACE(program);
        const clser::UniqueModule module(
            LoadLibraryExA((programDirectory() + "\\" + program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        HRSRC found = module ? FindResourceA(module.get(), MAKEINTRESOURCEA(1), RT_MANIFEST) : nullptr;
        ASSERT_NE(found, nullptr);
        const std::string text(static_cast<const char*>(LockResource(LoadResource(module.get(), found))),
                               SizeofResource(module.get(), found));
        EXPECT_NE(text.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
        for (const char* windows : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                                    "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
            EXPECT_NE(text.find(std::string("<supportedOS Id=\"{") + windows + "}\"/>"), std::string::npos) << windows;
        EXPECT_EQ(text.find(">true/pm</dpiAware>") != std::string::npos, perMonitor);
        EXPECT_EQ(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>") != std::string::npos, perMonitor);
    }
}

// Opens the port settings dialog of a running bridge and says whether "Low latency" is ticked.
std::optional<ShownBox> openPortSettings(HANDLE process, HWND main)
{
    PostMessageA(main, WM_COMMAND, ID_PORT_SETTINGS, 0);
    return waitForBox(GetProcessId(process), "Port Settings", 15000);
}

bool lowLatencyTicked(HWND portSettings)
{
    return SendMessageA(GetDlgItem(portSettings, IDC_LOW_LATENCY), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// "lowlatency=1" in the launcher's section: the launcher passes the word, the bridge
// connects in that mode and shows it ticked; clearing it takes effect on the running
// connection without a reconnect question and goes back into the section as 0.
TEST(Program, LowLatencyFromTheConfigurationFileReachesTheDialogAndGoesBack)
{
    StagedProgram staged("low-latency", true);
    ASSERT_TRUE(staged.ok());
    const std::string ini = staged.root() + "\\bin\\DunmereConfig.ini";
    const int number = freePortNumber(70);
    ASSERT_TRUE(installEmulatedPair(number));
    const std::string port = "COM" + std::to_string(number);
    const std::string section = "[connection1]\r\ncom=" + port +
                                "\r\nclser=0\r\nbaudrate=9600\r\nparity=n\r\ndatabit=8\r\nstopbit=1\r\nrun=1\r\n"
                                "connect=1\r\n";
    writeTextFile(ini, section + "lowlatency=1\r\n");
    struct Cleanup {
        int number;
        clser::UniqueHandle bridge;
        ~Cleanup()
        {
            stopIfRunning(bridge.get());
            removeEmulatedPair(number);
        }
    } cleanup{number, {}};
    runLauncherBeside(staged);
    ASSERT_FALSE(HasFatalFailure());

    clser::UniqueHandle& bridge = cleanup.bridge;
    HWND main = nullptr;
    HWND bar = nullptr;
    waitForConnectedBridge(staged, bridge, main, bar);
    ASSERT_FALSE(HasFatalFailure());
    const DWORD pid = GetProcessId(bridge.get());
    clser::test::UserPort terminal;
    ASSERT_TRUE(terminal.open(port));
    ASSERT_TRUE(terminal.write("sn?\r"));
    EXPECT_EQ(terminal.read(10, 10000), "SIM-0000\r\n");

    auto settings = openPortSettings(bridge.get(), main);
    ASSERT_TRUE(settings);
    EXPECT_TRUE(lowLatencyTicked(settings->window)) << "the launcher's word reached the connection";
    SendMessageA(GetDlgItem(settings->window, IDC_LOW_LATENCY), BM_SETCHECK, BST_UNCHECKED, 0);
    answer(settings->window, IDOK);
    EXPECT_FALSE(waitForBox(pid, "", 1500)) << "no question and no message: the connection keeps running";
    EXPECT_EQ(remoteStatusPane(bridge.get(), bar, 0), "Connected");

    char value[16] = {};
    GetPrivateProfileStringA("connection1", "lowlatency", "<none>", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "0") << "written back in autorun mode";
    EXPECT_EQ(readTextFile(ini), section + "lowlatency=0\r\n") << "nothing else changed";

    settings = openPortSettings(bridge.get(), main);
    ASSERT_TRUE(settings);
    EXPECT_FALSE(lowLatencyTicked(settings->window)) << "the running connection took the change";
    answer(settings->window, IDCANCEL);

    ASSERT_TRUE(terminal.write("gain 3\rgain?\r"));
    EXPECT_EQ(terminal.read(7, 10000), "OK\r\n3\r\n") << "served in the default mode after the change";
    terminal.close();

    exitProgram(bridge.get(), main);
}

// Pictures of the main dialog, the port settings dialog and the about dialog, taken when
// CLSER_SCREENSHOT_DIR names a Linux directory (scripts/screenshots sets it).
TEST(Screenshots, MainPortSettingsAndAboutDialogs)
{
    const char* dir = std::getenv("CLSER_SCREENSHOT_DIR");
    if (!dir || !*dir)
        GTEST_SKIP() << "CLSER_SCREENSHOT_DIR is not set";
    const std::string shots = dir;
    StagedProgram staged("screenshots", true);
    ASSERT_TRUE(staged.ok());
    const int number = freePortNumber(50);
    ASSERT_TRUE(installEmulatedPair(number));
    clser::UniqueHandle process = staged.startWithOutput("", staged.root() + "\\screenshots.txt");
    ASSERT_TRUE(process);
    const DWORD pid = GetProcessId(process.get());
    HWND main = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (main = mainWindowOf(pid)) != nullptr && IsWindowVisible(main); }, 30000ms));
    Sleep(1000);
    auto shoot = [&](const std::string& name) {
        const std::string png = shots + "/" + name + ".png";
        const std::string done = shots + "/." + name + ".done";
        std::remove(clser::testbed::windowsPathOf(done).c_str());
        EXPECT_TRUE(clser::testbed::runLinuxCommand("import -window root '" + png + "'; touch '" + done + "'", done,
                                                    30000))
            << name;
    };
    shoot("main-dialog");

    PostMessageA(main, WM_COMMAND, ID_PORT_SETTINGS, 0);
    auto settings = waitForBox(pid, "Port Settings", 15000);
    ASSERT_TRUE(settings);
    Sleep(1000);
    shoot("port-settings");
    answer(settings->window, IDCANCEL);

    PostMessageA(main, WM_COMMAND, ID_ABOUT, 0);
    auto about = waitForBox(pid, "About ClserDunmere", 15000);
    ASSERT_TRUE(about);
    Sleep(1000);
    shoot("about");
    answer(about->window, IDOK);

    exitProgram(process.get(), main);
    stopIfRunning(process.get());
    removeEmulatedPair(number);
}

} // namespace
