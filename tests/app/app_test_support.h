// Helpers for the tests that drive the bridge program's windows: finding message boxes
// and dialogs of a thread or process, answering them, reading controls, and the
// program's main window and exit code; the shared test support besides.
#pragma once

#include "scratch_files.h"
#include "setupc_emulator.h"
#include "wait_until.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace clser::test {

using namespace std::chrono_literals;

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

// The bridge program's main dialog in a process, shown or hidden in the tray (a child of
// its hidden owner); null when there is none.
HWND mainWindowOf(DWORD processId);
// STILL_ACTIVE while the process runs.
DWORD exitCodeOf(HANDLE process);

// Points the SDK stand-ins at a board configuration (empty text: the default board).
void configureSdkBoards(const std::string& text);

} // namespace clser::test
