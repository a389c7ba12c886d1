// Ends every running bridge program the way a user does: its Exit command, then OK in
// the question it asks. Prints what it does; exits 0 when every bridge has ended.
#include "resource.h"
#include "unique_handle.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char kMainDialogCaption[] = "ClSerDunmere";
constexpr char kExitQuestion[] = "Do you really want to exit Dunmere?";

std::string classOf(HWND hwnd)
{
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string textOf(HWND hwnd)
{
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// Every window, top-level or child; the caller picks.
BOOL CALLBACK collectChild(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK collectTop(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    EnumChildWindows(hwnd, collectChild, param);
    return TRUE;
}

template <typename Keep>
std::vector<HWND> findWindows(Keep keep)
{
    std::vector<HWND> all;
    EnumWindows(collectTop, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> found;
    for (HWND h : all)
        if (keep(h))
            found.push_back(h);
    return found;
}

DWORD processOf(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// The exit question of process pid, or null.
HWND exitQuestionOf(DWORD pid)
{
    for (HWND box : findWindows([&](HWND h) { return classOf(h) == "#32770" && processOf(h) == pid; })) {
        bool asks = false;
        for (HWND label : findWindows([&](HWND h) { return GetParent(h) == box && textOf(h) == kExitQuestion; }))
            asks = label != nullptr;
        if (asks)
            return box;
    }
    return nullptr;
}

} // namespace

int main()
{
    const auto dialogs =
        findWindows([](HWND h) { return classOf(h) == "#32770" && textOf(h) == kMainDialogCaption; });
    if (dialogs.empty()) {
        std::printf("no bridge program is running\n");
        return 0;
    }
    int failures = 0;
    for (HWND dialog : dialogs) {
        const DWORD pid = processOf(dialog);
        clser::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
        std::printf("bridge program %lu: Exit\n", static_cast<unsigned long>(pid));
        std::fflush(stdout);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
        HWND question = nullptr;
        for (int i = 0; i < 100 && !question; ++i) {
            Sleep(100);
            question = exitQuestionOf(pid);
        }
        if (!question) {
            std::printf("bridge program %lu: the exit question did not come\n", static_cast<unsigned long>(pid));
            ++failures;
            continue;
        }
        std::printf("bridge program %lu: \"%s\" -> OK\n", static_cast<unsigned long>(pid), kExitQuestion);
        std::fflush(stdout);
        PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
        if (process && WaitForSingleObject(process.get(), 15000) == WAIT_OBJECT_0) {
            std::printf("bridge program %lu: ended\n", static_cast<unsigned long>(pid));
        } else {
            std::printf("bridge program %lu: did not end\n", static_cast<unsigned long>(pid));
            ++failures;
        }
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
