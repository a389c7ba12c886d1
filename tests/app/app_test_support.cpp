#include "app_test_support.h"

#include "pair_table.h"
#include "pty_rig.h"
#include "unique_handle.h"

#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace clser::apptest {
namespace {

std::string linuxEnv(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string className(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string windowTextOf(HWND window)
{
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct ProcessWindows {
    DWORD processId;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ProcessWindows*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->processId && className(window) == search->className)
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK collectStaticText(HWND child, LPARAM param)
{
    auto* text = reinterpret_cast<std::string*>(param);
    if (className(child) == "Static") {
        const std::string t = windowTextOf(child);
        if (!t.empty()) {
            if (!text->empty())
                *text += "\n";
            *text += t;
        }
    }
    return TRUE;
}

bool contains(const std::vector<HWND>& list, HWND window)
{
    for (HWND w : list)
        if (w == window)
            return true;
    return false;
}

std::optional<ShownBox> findBox(DWORD processId, const std::string& caption, const std::vector<HWND>& except)
{
    for (HWND window : dialogWindowsOfProcess(processId)) {
        if (!IsWindowVisible(window) || contains(except, window))
            continue;
        if (!caption.empty() && windowTextOf(window) != caption)
            continue;
        ShownBox box;
        box.window = window;
        box.caption = windowTextOf(window);
        EnumChildWindows(window, collectStaticText, reinterpret_cast<LPARAM>(&box.text));
        return box;
    }
    return std::nullopt;
}

std::string emulatorStateFile()
{
    return testbed::windowsPathOf(linuxEnv("WINEPREFIX") + "/setupc-emulator/pairs.txt");
}

int runEmulator(const std::string& arguments)
{
    const std::string exe = programDirectory() + "\\setupc.exe";
    std::string line = "\"" + exe + "\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info))
        return -1;
    UniqueHandle thread(info.hThread);
    UniqueHandle process(info.hProcess);
    if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, unsigned timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}

std::vector<HWND> windowsOfProcess(DWORD processId, const char* name)
{
    ProcessWindows search{processId, name, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> dialogWindowsOfProcess(DWORD processId) { return windowsOfProcess(processId, "#32770"); }

std::optional<ShownBox> waitForBox(DWORD processId, const std::string& caption, unsigned timeoutMs,
                                   const std::vector<HWND>& except)
{
    std::optional<ShownBox> box;
    waitUntil([&] { return (box = findBox(processId, caption, except)).has_value(); }, timeoutMs);
    return box;
}

bool boxShown(DWORD processId, const std::string& caption, const std::vector<HWND>& except)
{
    return findBox(processId, caption, except).has_value();
}

void answer(HWND box, int buttonId)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    // Gone before anything else is looked for, so that the next search cannot meet it.
    waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 15000);
}

std::string controlText(HWND dialog, int id) { return windowTextOf(GetDlgItem(dialog, id)); }

std::vector<std::string> comboItems(HWND combo)
{
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

int comboSelectedIndex(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }

std::string comboSelection(HWND combo)
{
    const int at = comboSelectedIndex(combo);
    if (at < 0)
        return {};
    char text[256] = {};
    SendMessageA(combo, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::string> listBoxLines(HWND list)
{
    std::vector<std::string> lines;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        std::vector<char> text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        lines.emplace_back(text.data());
    }
    return lines;
}

std::string statusPane(HWND statusBar, int pane)
{
    const LRESULT length = SendMessageA(statusBar, SB_GETTEXTLENGTHA, pane, 0);
    std::vector<char> text(LOWORD(length) + 1, '\0');
    SendMessageA(statusBar, SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

std::string remoteStatusPane(HANDLE process, HWND statusBar, int pane)
{
    constexpr SIZE_T kSize = 1024;
    void* remote = VirtualAllocEx(process, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote)
        return "<no memory>";
    std::vector<char> zeros(kSize, '\0');
    WriteProcessMemory(process, remote, zeros.data(), kSize, nullptr);
    SendMessageA(statusBar, SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(remote));
    std::vector<char> text(kSize, '\0');
    ReadProcessMemory(process, remote, text.data(), kSize - 1, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text.data();
}

bool menuItemEnabled(HMENU menu, UINT command)
{
    return (GetMenuState(menu, command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool menuItemChecked(HMENU menu, UINT command)
{
    return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::string runDirectory()
{
    const std::string dir = testbed::windowsPathOf(linuxEnv("CLSER_RUN_DIR") + "/app");
    makeDirectories(dir);
    return dir;
}

std::string programDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.rfind('\\'));
}

void writeTextFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string readTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void makeDirectories(const std::string& path)
{
    for (size_t pos = path.find('\\', 3); pos != std::string::npos; pos = path.find('\\', pos + 1))
        CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

std::string architectureFolder()
{
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? "x64" : "i386";
}

std::string makeCom0comRoot(const std::string& name)
{
    const std::string root = runDirectory() + "\\" + name;
    const std::string folder = root + "\\com0com\\" + architectureFolder();
    makeDirectories(folder);
    CopyFileA((programDirectory() + "\\setupc.exe").c_str(), (folder + "\\setupc.exe").c_str(), FALSE);
    return root;
}

bool installEmulatedPair(int number)
{
    const std::string n = std::to_string(number);
    return runEmulator("--silent install PortName=COM" + n + " PortName=TARVCOM" + n) == 0;
}

void removeEmulatedPair(int number)
{
    const std::string portName = "PortName=COM" + std::to_string(number);
    for (const auto& pair : setupc::parsePairTable(readTextFile(emulatorStateFile())))
        if (pair.paramsA == portName)
            runEmulator("--silent remove " + std::to_string(pair.number));
}

int emulatedPairNumber(int number)
{
    const std::string portName = "PortName=COM" + std::to_string(number);
    for (const auto& pair : setupc::parsePairTable(readTextFile(emulatorStateFile())))
        if (pair.paramsA == portName)
            return pair.number;
    return -1;
}

bool emulatedPairInstalled(int number) { return emulatedPairNumber(number) >= 0; }

bool dosDeviceListed(const std::string& name)
{
    std::vector<char> buffer(1 << 18);
    const DWORD n = QueryDosDeviceA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    for (DWORD i = 0; i < n && buffer[i];) {
        const std::string listed(&buffer[i]);
        if (listed == name)
            return true;
        i += static_cast<DWORD>(listed.size()) + 1;
    }
    return false;
}

int freePortNumber(int from)
{
    int n = from;
    while (dosDeviceListed("COM" + std::to_string(n)) || dosDeviceListed("TARVCOM" + std::to_string(n)) ||
           emulatedPairInstalled(n))
        ++n;
    return n;
}

void configureSdkBoards(const std::string& text)
{
    if (text.empty()) {
        _putenv_s("CLSER_SDK_CONFIG", "");
        return;
    }
    const std::string path = runDirectory() + "\\sdk-boards-" + std::to_string(GetCurrentProcessId()) + ".cfg";
    writeTextFile(path, text);
    _putenv_s("CLSER_SDK_CONFIG", path.c_str());
}

} // namespace clser::apptest
