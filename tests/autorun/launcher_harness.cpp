#include "launcher_harness.h"

#include "child_process.h"
#include "setupc_emulator.h"
#include "unique_handle.h"

#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace clser::test {
namespace {

void copyOrFail(const std::string& from, const std::string& to)
{
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + from + " to " + to);
}

// Runs a program with its output going into a file; waits up to timeoutMs and returns
// its exit code. started, when given, learns the process id as soon as it runs.
DWORD runProgram(const std::string& program, const std::string& arguments, const std::string& directory,
                 const std::string& outputFile, DWORD timeoutMs, std::atomic<DWORD>* started = nullptr)
{
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    // A bridge that an earlier run started may still hold the output file (it inherits the
    // launcher's output), and a loaded machine may refuse a start for a moment: both are
    // tried again for a few seconds before the run counts as not started.
    UniqueFile out;
    UniqueHandle process;
    DWORD processId = 0;
    DWORD lastError = 0;
    for (int attempt = 0; attempt < 20 && !process; ++attempt) {
        if (attempt > 0)
            Sleep(250);
        if (!out)
            out.reset(CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                  CREATE_ALWAYS, 0, nullptr));
        if (!out) {
            lastError = GetLastError();
            continue;
        }
        ProgramStart start;
        start.program = program;
        start.arguments = arguments;
        start.directory = directory;
        start.output = out.get();
        process = startProgram(start, &processId);
        if (!process)
            lastError = GetLastError();
    }
    if (!process) {
        std::fprintf(stderr, "cannot start %s (output %s): error %lu\n", program.c_str(), outputFile.c_str(),
                     static_cast<unsigned long>(lastError));
        return 0xFFFFFFFE;
    }
    if (started)
        *started = processId;
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.get(), &code);
    else
        TerminateProcess(process.get(), 0xFFFFFFFD);
    return code;
}

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

LauncherLayout::LauncherLayout()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    root_ = std::string(temp) + "clser_launcher_" + std::to_string(GetCurrentProcessId());
    const std::string arch = architectureFolder();
    CreateDirectoryA(root_.c_str(), nullptr);
    CreateDirectoryA(appDir().c_str(), nullptr);
    CreateDirectoryA((root_ + "\\com0com").c_str(), nullptr);
    CreateDirectoryA((root_ + "\\com0com\\" + arch).c_str(), nullptr);
    setupc_ = root_ + "\\com0com\\" + arch + "\\setupc.exe";
    const std::string bin = programDirectory();
    copyOrFail(bin + "\\setupc.exe", setupc_);
    for (const char* f : {"ClserDunmereAutorun.exe", "TarvVirtualComPort.dll", "clserbvk.dll"})
        copyOrFail(bin + "\\" + f, appDir() + "\\" + f);
    copyOrFail(bin + "\\recording_bridge.exe", appDir() + "\\ClserDunmere2.exe");
}

LauncherLayout::~LauncherLayout()
{
    removeAllPairs();
    for (const char* f : {"ClserDunmereAutorun.exe", "TarvVirtualComPort.dll", "clserbvk.dll", "ClserDunmere2.exe",
                          "DunmereConfig.ini", "bridge_starts.txt", "launcher_output.txt"})
        DeleteFileA((appDir() + "\\" + f).c_str());
    DeleteFileA(setupc_.c_str());
}

LauncherRun LauncherLayout::run() const
{
    LauncherRun result;
    const std::string outFile = appDir() + "\\launcher_output.txt";
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

    const DWORD start = GetTickCount();
    result.exitCode =
        runProgram(appDir() + "\\ClserDunmereAutorun.exe", "", appDir(), outFile, 180000, &pid);
    result.milliseconds = GetTickCount() - start;
    done = true;
    answerer.join();
    // The console texts end their lines with "\n"; written to a file in text mode they
    // arrive as CR LF, which is folded back here.
    const std::string raw = readTextFile(outFile);
    for (size_t i = 0; i < raw.size(); ++i)
        if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n'))
            result.output += raw[i];
    result.messageBoxes = boxes;
    return result;
}

std::vector<std::string> LauncherLayout::listPairs() const
{
    const std::string listFile = root_ + "\\pairs_list.txt";
    DeleteFileA(listFile.c_str());
    const std::string setupcDir = setupc_.substr(0, setupc_.rfind('\\'));
    runProgram(setupc_, "--output " + listFile + " list", setupcDir, root_ + "\\setupc_output.txt", 30000);
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
    const std::string setupcDir = setupc_.substr(0, setupc_.rfind('\\'));
    runProgram(setupc_, "--silent remove " + std::to_string(number), setupcDir, root_ + "\\setupc_output.txt",
               30000);
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
