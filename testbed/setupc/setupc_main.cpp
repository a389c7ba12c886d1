// setupc.exe emulator: lists, installs and removes virtual pairs as com0com's client
// does for the commands of the pair library. A pair's two ends are linked pseudo-
// terminals of the test rig, openable as \\.\<name> and listed as DOS device names.
// The pair table lives in <WINEPREFIX>/setupc-emulator/pairs.txt.
#include "emulator_config.h"
#include "pair_table.h"
#include "pty_rig.h"
#include "setupc_command_line.h"
#include "unique_handle.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace clser::setupc;
namespace rig = clser::testbed;

namespace {

enum ExitCode { kOk = 0, kFailed = 1, kBadSetup = 2 };

constexpr char kStateMutex[] = "clser-setupc-emulator-state";
constexpr DWORD kStateLockWaitMs = 60000;

std::string envOrEmpty(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

// A configured path may be a Linux one.
std::string usablePath(const std::string& path)
{
    return !path.empty() && path[0] == '/' ? rig::windowsPathOf(path) : path;
}

bool readFile(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    *text = all.str();
    return true;
}

// Text mode: the list gets CR LF line ends, as a Windows program writes them.
bool writeTextFile(const std::string& path, const std::string& text, const char* mode)
{
    FILE* f = std::fopen(path.c_str(), mode);
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

std::string stateDirectory() { return rig::windowsPathOf(envOrEmpty("WINEPREFIX") + "/setupc-emulator"); }
std::string stateFile() { return stateDirectory() + "\\pairs.txt"; }

// Runs that change or read the table take turns.
class StateLock {
public:
    StateLock() : mutex_(CreateMutexA(nullptr, FALSE, kStateMutex))
    {
        if (mutex_) {
            const DWORD r = WaitForSingleObject(mutex_.get(), kStateLockWaitMs);
            held_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
        }
    }
    ~StateLock()
    {
        if (held_)
            ReleaseMutex(mutex_.get());
    }
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;
    bool held() const { return held_; }

private:
    clser::UniqueHandle mutex_;
    bool held_ = false;
};

std::vector<EmulatedPair> loadTable()
{
    std::string text;
    readFile(stateFile(), &text);
    return parsePairTable(text);
}

bool saveTable(const std::vector<EmulatedPair>& pairs)
{
    CreateDirectoryA(stateDirectory().c_str(), nullptr);
    return writeTextFile(stateFile(), formatPairTable(pairs), "wb");
}

std::string listText(const EmulatorConfig& config, const std::vector<EmulatedPair>& pairs)
{
    if (!config.listTextFile.empty()) {
        std::string text;
        readFile(usablePath(config.listTextFile), &text);
        return text;
    }
    std::vector<EmulatedPair> listed = pairs;
    if (!config.listParams.empty())
        for (auto& pair : listed) {
            pair.paramsA += "," + config.listParams;
            pair.paramsB += "," + config.listParams;
        }
    const std::string normal = formatPairList(listed);
    switch (config.list) {
    case ListMode::Malformed:
        return normal + "       CNCA98 PortName=COM98\n       CNCB99 PortName=TARVCOM99\n";
    case ListMode::EmptyFirstLine:
        return "\n" + normal;
    case ListMode::Normal:
        break;
    }
    return normal;
}

int list(const Command& command, const EmulatorConfig& config)
{
    if (config.listHangMs) {
        Sleep(config.listHangMs);
        return kFailed;
    }
    StateLock lock;
    if (!lock.held())
        return kBadSetup;
    const std::string text = listText(config, loadTable());
    if (command.outputFile.empty()) {
        std::fputs(text.c_str(), stdout);
        return kOk;
    }
    return writeTextFile(command.outputFile, text, "w") ? kOk : kFailed;
}

// Starts a second emulator process that makes the ends after the delay, and does not
// wait for it: the install itself ends before the ends appear.
bool startLateEnds(int pairNumber, unsigned delayMs)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = "\"" + std::string(self) + "\" " + kMakeEndsOption + " " + std::to_string(pairNumber) +
                       " " + std::to_string(delayMs);
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(self, buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW | DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &process))
        return false;
    clser::UniqueHandle thread(process.hThread);
    clser::UniqueHandle child(process.hProcess);
    return true;
}

int install(const Command& command, const EmulatorConfig& config)
{
    if (config.installHangMs) {
        Sleep(config.installHangMs);
        return kFailed;
    }
    StateLock lock;
    if (!lock.held())
        return kBadSetup;
    auto pairs = loadTable();
    const EmulatedPair pair{lowestFreePairNumber(pairs, config.firstPair), command.paramsA, command.paramsB};
    if (pair.number < 0)
        return kFailed;
    if (config.ends == EndsMode::Now) {
        std::string error;
        if (!rig::createPtyPair(portNameOf(pair.paramsA), portNameOf(pair.paramsB), &error)) {
            std::fprintf(stderr, "setupc: %s\n", error.c_str());
            return kFailed;
        }
    }
    pairs.push_back(pair);
    if (!saveTable(pairs))
        return kFailed;
    if (config.ends == EndsMode::After && !startLateEnds(pair.number, config.endsDelayMs))
        return kFailed;
    return kOk;
}

int makeEnds(const Command& command)
{
    Sleep(command.delayMs);
    StateLock lock;
    if (!lock.held())
        return kBadSetup;
    const auto pair = findPair(loadTable(), command.pairNumber);
    if (!pair)
        return kFailed; // removed meanwhile
    return rig::createPtyPair(portNameOf(pair->paramsA), portNameOf(pair->paramsB)) ? kOk : kFailed;
}

int remove(const Command& command)
{
    StateLock lock;
    if (!lock.held())
        return kBadSetup;
    auto pairs = loadTable();
    const auto pair = findPair(pairs, command.pairNumber);
    if (!pair) {
        std::fprintf(stderr, "setupc: no pair %d\n", command.pairNumber);
        return kFailed;
    }
    rig::destroyPtyPair(portNameOf(pair->paramsA), portNameOf(pair->paramsB));
    pairs.erase(std::find(pairs.begin(), pairs.end(), *pair));
    return saveTable(pairs) ? kOk : kFailed;
}

void logRun(const EmulatorConfig& config, const std::vector<std::string>& args)
{
    if (config.logFile.empty())
        return;
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    std::string line = std::string(directory) + "|";
    for (std::size_t i = 0; i < args.size(); ++i)
        line += (i ? " " : "") + args[i];
    writeTextFile(usablePath(config.logFile), line + "\n", "ab");
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    EmulatorConfig config;
    if (const std::string configFile = envOrEmpty(kConfigVariable); !configFile.empty()) {
        std::string text;
        if (!readFile(usablePath(configFile), &text)) {
            std::fprintf(stderr, "setupc: cannot read %s\n", configFile.c_str());
            return kBadSetup;
        }
        auto parsed = parseEmulatorConfig(text);
        for (const auto& error : parsed.errors)
            std::fprintf(stderr, "setupc: %s: %s\n", configFile.c_str(), error.c_str());
        if (!parsed.errors.empty())
            return kBadSetup;
        config = parsed.config;
    }
    logRun(config, args);
    if (envOrEmpty("WINEPREFIX").empty()) {
        std::fprintf(stderr, "setupc: WINEPREFIX is not set\n");
        return kBadSetup;
    }

    const Command command = parseCommandLine(args);
    switch (command.kind) {
    case CommandKind::List:
        return list(command, config);
    case CommandKind::Install:
        return install(command, config);
    case CommandKind::Remove:
        return remove(command);
    case CommandKind::MakeEnds:
        return makeEnds(command);
    case CommandKind::Invalid:
        break;
    }
    std::fprintf(stderr,
                 "setupc: %s\nusage: setupc [--silent] [--output FILE] list | install PortName=A PortName=B | "
                 "remove N\n",
                 command.error.c_str());
    return kFailed;
}
