#include "app_test_support.h"

#include <commctrl.h>

#include <cstdlib>

namespace clser::test {
namespace {

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

} // namespace

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
    waitUntil([&] { return (box = findBox(processId, caption, except)).has_value(); },
              std::chrono::milliseconds(timeoutMs));
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
    waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 15000ms);
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

HWND mainWindowOf(DWORD processId)
{
    constexpr char kMainCaption[] = "ClSerDunmere";
    for (HWND w : dialogWindowsOfProcess(processId))
        if (windowTextOf(w) == kMainCaption)
            return w;
    for (HWND owner : windowsOfProcess(processId, "Static"))
        if (HWND inside = FindWindowExA(owner, nullptr, "#32770", kMainCaption))
            return inside;
    return nullptr;
}

DWORD exitCodeOf(HANDLE process)
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

void configureSdkBoards(const std::string& text)
{
    if (text.empty()) {
        _putenv_s("CLSER_SDK_CONFIG", "");
        return;
    }
    const std::string path = runDirectory("app") + "\\sdk-boards-" + std::to_string(GetCurrentProcessId()) + ".cfg";
    writeTextFile(path, text);
    _putenv_s("CLSER_SDK_CONFIG", path.c_str());
}

} // namespace clser::test
