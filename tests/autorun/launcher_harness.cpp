#include "launcher_harness.h"

#include "child_process.h"
#include "setupc_emulator.h"

#include <atomic>
#include <stdexcept>
#include <thread>

namespace clser::test {
namespace {

struct BoxSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK findDialogOf(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == search->pid && std::string(cls) == "#32770" && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectStaticText(HWND hwnd, LPARAM param)
{
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == "Static") {
        char text[1024] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        if (text[0])
            *reinterpret_cast<std::string*>(param) += text;
    }
    return TRUE;
}

} // namespace

LauncherLayout::LauncherLayout() : tree_(scratchPath("launcher"))
{
    const std::string com0com = "com0com\\" + architectureFolder();
    setupc_ = tree_.path(com0com + "\\setupc.exe");
    if (!tree_.copyBuildFiles(com0com, {"setupc.exe"}) ||
        !tree_.copyBuildFiles("app", {"ClserDunmereAutorun.exe", "TarvVirtualComPort.dll", "clserbvk.dll"}) ||
        !tree_.copyInto(programDirectory() + "\\recording_bridge.exe", "app\\ClserDunmere2.exe"))
        throw std::runtime_error("cannot lay out the launcher in " + root());
}

LauncherLayout::~LauncherLayout() { removeAllPairs(); }

LauncherRun LauncherLayout::run() const
{
    LauncherRun result;
    std::atomic<DWORD> pid{0};
    std::atomic<bool> done{false};
    std::vector<MessageBoxSeen> boxes;
    // Answers the launcher's message boxes, as a user would, and notes what they said.
    std::thread answerer([&] {
        while (!done) {
            Sleep(50);
            if (!pid)
                continue;
            BoxSearch search{pid, nullptr};
            EnumWindows(findDialogOf, reinterpret_cast<LPARAM>(&search));
            if (!search.found)
                continue;
            Sleep(100);
            MessageBoxSeen seen;
            char caption[256] = {};
            GetWindowTextA(search.found, caption, sizeof caption);
            seen.caption = caption;
            EnumChildWindows(search.found, collectStaticText, reinterpret_cast<LPARAM>(&seen.text));
            boxes.push_back(seen);
            PostMessageA(search.found, WM_COMMAND, IDOK, 0);
            while (IsWindow(search.found) && !done)
                Sleep(20);
        }
    });

    ProgramStart launcher{appDir() + "\\ClserDunmereAutorun.exe", "", appDir()};
    // A loaded machine may refuse a start for a moment.
    launcher.attempts = 20;
    launcher.started = [&pid](DWORD id) { pid = id; };
    const DWORD start = GetTickCount();
    const ProgramRun finished = runProgram(launcher, 180000, true);
    result.milliseconds = GetTickCount() - start;
    done = true;
    answerer.join();
    if (finished.ended)
        result.exitCode = finished.exitCode;
    // The console texts end their lines with "\n"; written to a file in text mode they
    // arrive as CR LF, which is folded back here.
    const std::string& raw = finished.output;
    for (size_t i = 0; i < raw.size(); ++i)
        if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n'))
            result.output += raw[i];
    result.messageBoxes = boxes;
    return result;
}

std::vector<std::string> LauncherLayout::listPairs() const
{
    const std::string listFile = tree_.path("pairs_list.txt");
    DeleteFileA(listFile.c_str());
    runSetupc("--output " + listFile + " list");
    std::vector<std::string> pairs;
    const auto lines = splitLines(readTextFile(listFile));
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        auto trim = [](std::string s) { return s.substr(s.find_first_not_of(' ')); };
        const std::string a = trim(lines[i]);
        const std::string b = trim(lines[i + 1]);
        const std::string number = a.substr(4, a.find(' ') - 4);
        pairs.push_back("CNC" + number + " " + a.substr(a.find('=') + 1) + " " + b.substr(b.find('=') + 1));
    }
    return pairs;
}

void LauncherLayout::removePair(int number) const
{
    runSetupc("--silent remove " + std::to_string(number));
}

void LauncherLayout::runSetupc(const std::string& arguments) const
{
    ProgramStart setupc{setupc_, arguments, setupc_.substr(0, setupc_.rfind('\\'))};
    setupc.attempts = 20;
    runProgram(setupc, 30000, true);
}

void LauncherLayout::removeAllPairs() const
{
    for (const auto& p : listPairs())
        removePair(std::stoi(p.substr(3, p.find(' ') - 3)));
}

std::vector<std::string> LauncherLayout::bridgeStarts() const
{
    // Starts are asynchronous: give the last one a moment to write its line.
    Sleep(300);
    return splitLines(readTextFile(startsFile()));
}

void LauncherLayout::forgetRun() const
{
    DeleteFileA(startsFile().c_str());
}

} // namespace clser::test
