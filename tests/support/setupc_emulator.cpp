#include "setupc_emulator.h"

#include "child_process.h"
#include "device_names.h"
#include "pty_rig.h"
#include "scratch_files.h"
#include "unique_handle.h"

#include <windows.h>

#include <cstdlib>

namespace clser::test {
namespace {

std::string emulatorStateFile()
{
    const char* prefix = std::getenv("WINEPREFIX");
    return testbed::windowsPathOf(std::string(prefix ? prefix : "") + "/setupc-emulator/pairs.txt");
}

std::string comPortName(int number) { return "PortName=COM" + std::to_string(number); }

} // namespace

std::string architectureFolder()
{
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? "x64" : "i386";
}

std::string makeCom0comRoot(const std::string& root)
{
    copyBuildFiles(root + "\\com0com\\" + architectureFolder(), {"setupc.exe"});
    return root;
}

int runEmulator(const std::string& arguments)
{
    ProgramStart start;
    start.program = programDirectory() + "\\setupc.exe";
    start.arguments = arguments;
    start.errors = GetStdHandle(STD_ERROR_HANDLE);
    return runProgram(start, 120000).status();
}

std::vector<setupc::EmulatedPair> emulatedPairs()
{
    // The emulator rewrites its table under this mutex: a read between its truncation and
    // its write would find no pairs.
    UniqueHandle lock(CreateMutexA(nullptr, FALSE, "clser-setupc-emulator-state"));
    const bool locked = lock && WaitForSingleObject(lock.get(), 30000) != WAIT_TIMEOUT;
    std::vector<setupc::EmulatedPair> pairs = setupc::parsePairTable(readTextFile(emulatorStateFile()));
    if (locked)
        ReleaseMutex(lock.get());
    return pairs;
}

bool installEmulatedPair(int number)
{
    const std::string n = std::to_string(number);
    return runEmulator("--silent install PortName=COM" + n + " PortName=TARVCOM" + n) == 0;
}

void removeEmulatedPair(int number)
{
    for (const auto& pair : emulatedPairs())
        if (pair.paramsA == comPortName(number))
            runEmulator("--silent remove " + std::to_string(pair.number));
}

void removeAllEmulatedPairs()
{
    for (const auto& pair : emulatedPairs())
        runEmulator("--silent remove " + std::to_string(pair.number));
}

int emulatedPairNumber(int number)
{
    for (const auto& pair : emulatedPairs())
        if (pair.paramsA == comPortName(number))
            return pair.number;
    return -1;
}

bool emulatedPairInstalled(int number) { return emulatedPairNumber(number) >= 0; }

int freePortNumber(int from)
{
    int n = from;
    while (deviceListed("COM" + std::to_string(n)) || deviceListed("TARVCOM" + std::to_string(n)) ||
           emulatedPairInstalled(n))
        ++n;
    return n;
}

} // namespace clser::test
