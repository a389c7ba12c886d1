// Helpers for the tests that drive the bridge program's windows: finding message boxes
// and dialogs of a thread or process, answering them, reading controls, the setupc
// emulator's pairs, and a staged installation of the program.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace clser::apptest {

// Polls every 20 ms; true as soon as the condition holds.
bool waitUntil(const std::function<bool()>& condition, unsigned timeoutMs);

// Top-level dialog windows (class #32770) of a process, visible or not.
std::vector<HWND> dialogWindowsOfProcess(DWORD processId);
// Top-level windows of a process with the given class.
std::vector<HWND> windowsOfProcess(DWORD processId, const char* className);

struct ShownBox {
    HWND window = nullptr;
    std::string caption;
    std::string text; // the texts of its static controls, joined by line feeds
};

// The first visible dialog of the process whose caption is the given one (any caption
// when empty) and that is not in `except`; waits up to timeoutMs.
std::optional<ShownBox> waitForBox(DWORD processId, const std::string& caption, unsigned timeoutMs,
                                   const std::vector<HWND>& except = {});
// Clicks a button of a message box or dialog (posts the command) and waits until the
// box has gone.
void answer(HWND box, int buttonId);
// True when a visible box with that caption is there now.
bool boxShown(DWORD processId, const std::string& caption, const std::vector<HWND>& except = {});

std::string controlText(HWND dialog, int id);
// Every item of a combo box, in the order it shows them, and the selected one.
std::vector<std::string> comboItems(HWND combo);
std::string comboSelection(HWND combo);
int comboSelectedIndex(HWND combo);
std::vector<std::string> listBoxLines(HWND list);
// A status bar pane of a window of this process or of another one.
std::string statusPane(HWND statusBar, int pane);
std::string remoteStatusPane(HANDLE process, HWND statusBar, int pane);
// Menu item states by command.
bool menuItemEnabled(HMENU menu, UINT command);
bool menuItemChecked(HMENU menu, UINT command);

// The test run's scratch directory (<CLSER_RUN_DIR>/app), as a Windows path.
std::string runDirectory();
std::string programDirectory();
void writeTextFile(const std::string& path, const std::string& text);
std::string readTextFile(const std::string& path);
void makeDirectories(const std::string& path);

// A com0com root for the pair library: <root>\com0com\<arch>\setupc.exe (the emulator).
std::string makeCom0comRoot(const std::string& name);
std::string architectureFolder();

// The setupc emulator, run from the build's bin: pairs made of linked pseudo-terminals.
bool installEmulatedPair(int number);
// Removes the emulator's pair whose ends are COM<number>/TARVCOM<number>.
void removeEmulatedPair(int number);
bool emulatedPairInstalled(int number);
// com0com's number of the emulator's pair COM<number>/TARVCOM<number>; -1 when none.
int emulatedPairNumber(int number);
// A port number whose COM and TARVCOM names are both unused, from `from` upwards.
int freePortNumber(int from);
bool dosDeviceListed(const std::string& name);

// Points the SDK stand-ins at a board configuration (empty text: the default board).
void configureSdkBoards(const std::string& text);

} // namespace clser::apptest
