// Runs the real launcher in a directory laid out as on a user's machine:
//   <root>\app\ClserDunmereAutorun.exe, TarvVirtualComPort.dll, clserbvk.dll,
//              ClserDunmere2.exe (a stand-in that records how it was started)
//   <root>\com0com\<x64|i386>\setupc.exe (the emulator)
#pragma once

#include "scratch_files.h"

#include <windows.h>

#include <string>
#include <vector>

namespace clser::test {

struct MessageBoxSeen {
    std::string caption;
    std::string text;
};

struct LauncherRun {
    DWORD exitCode = 0xFFFFFFFF; // so when it did not start or end
    std::string output;
    std::vector<MessageBoxSeen> messageBoxes;
    DWORD milliseconds = 0;
};

class LauncherLayout {
public:
    LauncherLayout();
    ~LauncherLayout();

    const std::string& root() const { return tree_.root(); }
    std::string appDir() const { return tree_.path("app"); }
    std::string configFile() const { return appDir() + "\\DunmereConfig.ini"; }
    std::string startsFile() const { return appDir() + "\\bridge_starts.txt"; }

    // Runs the launcher and answers its message boxes with OK, recording them.
    LauncherRun run() const;

    // Removes every pair the emulator lists.
    void removeAllPairs() const;
    // The pairs the emulator lists: "CNC<k> COMn TARVCOMn".
    std::vector<std::string> listPairs() const;
    // Removes one pair by its com0com number.
    void removePair(int number) const;

    std::vector<std::string> bridgeStarts() const;
    void forgetRun() const;

private:
    // Runs the emulator of the layout in its own directory.
    void runSetupc(const std::string& arguments) const;

    ScratchTree tree_;
    std::string setupc_;
};

} // namespace clser::test
