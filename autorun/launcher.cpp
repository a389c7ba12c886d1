#include "launcher.h"

#include "cl_serial_library.h"
#include "cl_serial_library_names.h"
#include "cl_serial_port_catalog.h"
#include "device_name_scan.h"
#include "digit_text.h"
#include "launcher_config.h"
#include "launcher_paths.h"
#include "profile_file.h"
#include "record_file.h"
#include "tarv_vcom_pair_library.h"
#include "unique_handle.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace clser::autorun {
namespace {

void showLibraryError(discovery::PairLibrary& library)
{
    if (const std::optional<std::string> text = library.errorText())
        MessageBoxA(nullptr, text->c_str(), nullptr, MB_ICONEXCLAMATION);
}

void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// More ports than any installation has: a count beyond it is the libraries' fault, and
// the passes below visit no more sections than this.
constexpr uint32_t kMaxCameraLinkPorts = 256;

// The ports of this system's own library. Without the library there are none, and the
// console says so once.
uint32_t cameraLinkPortCount(const ClSerialLibraryLoad& own)
{
    if (!own.library) {
        say(libraryLoadLine(kOwnClSerialLibrary, own));
        return 0;
    }
    // A failing call leaves nothing usable behind: no ports.
    return std::min(own.library->portCount().value_or(0), kMaxCameraLinkPorts);
}

// The ports of all libraries together: this system's own and those of every other maker's
// library in the Camera Link library folder. A check run visits as many sections, so that
// a section for another maker's port past this system's own ports is started too.
uint32_t allCameraLinkPortCount(uint32_t ownPorts)
{
    const std::size_t others = listOtherMakerPorts(cameraLinkLibraryFolder()).ports.size();
    return static_cast<uint32_t>(std::min<std::size_t>(ownPorts + others, kMaxCameraLinkPorts));
}

bool cameraLinkPortOpens(const ClSerialLibrary* library, int index)
{
    void* ref = nullptr;
    if (!library || library->serialInit(static_cast<uint32_t>(index), &ref) != 0)
        return false;
    library->serialClose(ref);
    return true;
}

bool comPortOpens(const std::string& name)
{
    const std::string path = "\\\\.\\" + name;
    UniqueFile f(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return f.valid();
}

// First run: one pair per Camera Link serial port of this system's own library and a
// default section for each. The sections written are the connections to start.
bool firstRun(vcom::TarvVComPairLibrary& library, const LauncherPaths& paths, uint32_t numClPorts, int pairCount,
              std::vector<int>& connections)
{
    std::printf("Found ClSer-Ports: %d\tFound virtual com ports pair: %d\n", static_cast<int>(numClPorts), pairCount);
    if (pairCount < static_cast<int>(numClPorts))
        std::printf("To install: %d\n\n", static_cast<int>(numClPorts) - pairCount);
    std::fflush(stdout);
    if (!library.installAll())
        return false;
    for (uint32_t i = 0; i < numClPorts; ++i) {
        if (const std::optional<VirtualPair> pair = library.pairAt(static_cast<int>(i))) {
            writeFirstRunSection(paths.configFile, static_cast<int>(i) + 1, pair->portName, static_cast<int>(i));
            connections.push_back(static_cast<int>(i) + 1);
        }
    }
    return true;
}

// Check run: every configured connection must have its pair; missing ones are installed.
// The sections that have their pair are the connections to start, so a section without
// "com" leaves out only itself. Sections 1 to portCount are visited, portCount counting
// the ports of all libraries.
bool checkRun(vcom::TarvVComPairLibrary& library, const LauncherPaths& paths, uint32_t portCount,
              std::vector<int>& connections)
{
    const std::vector<std::string> devices = vcom::scanSerialDeviceNames();
    bool success = true;
    for (uint32_t k = 1; k <= portCount; ++k) {
        const std::string com = readComValue(paths.configFile, static_cast<int>(k));
        if (com.empty())
            continue;
        const std::string comPortName = profile::comPortNameOf(com);
        const std::string key = bridgeSearchKey(comPortName);
        if (std::find(devices.begin(), devices.end(), key) != devices.end()) {
            connections.push_back(static_cast<int>(k));
            continue;
        }
        const int number =
            leadingSignedDecimalValue(comPortName.size() > 3 ? std::string_view(comPortName).substr(3) : "");
        if (library.install(number))
            connections.push_back(static_cast<int>(k));
        else
            success = false;
    }
    return success;
}

// A record file and the section that named it first.
struct RecordFileOwner {
    std::string key;  // recordFileKey
    int section;
};

// Starts one hidden bridge program per connection section, in order. When the bridge
// program cannot be started the rest is not started either. What is wrong with a section
// is said on the console; a record file that cannot be opened too, and the bridge is
// still given it, so that its trace list says so as well. A file that an earlier
// section's bridge records to is not given again: two bridges would mix their lines and
// roll each other's file over.
//
// A section's Camera Link port is checked through its library: another maker's at the
// section's "clser" index, this system's own at the section's position. A section whose
// "cllibrary" names a library that cannot be used is said and not started.
void startBridges(const LauncherPaths& paths, const std::vector<int>& connections, const ClSerialLibrary* own)
{
    std::vector<RecordFileOwner> recordFiles;
    for (const int k : connections) {
        const profile::ProfileRead read = profile::readProfile(paths.configFile, k, paths.directory);
        if (read.run <= 0)
            continue;
        profile::ConnectionProfile p = read.profile;
        std::string parameters;
        if (read.connect != 0) {
            if (!read.refusal.empty()) {
                say(read.refusal);
                continue;
            }
            if (!isOwnClSerialLibrary(p.clLibrary)) {
                const ClSerialLibraryLoad other = loadConnectionLibrary(p.clLibrary);
                if (!other.library) {
                    say(clLibraryRefusalLine(k, other.problem));
                    continue;
                }
                if (!cameraLinkPortOpens(other.library, p.clPortIndex)) {
                    say("The cl serial port " + std::to_string(p.clPortIndex) + " of " + p.clLibrary +
                        " is occupied or not exist, please check the system configuration");
                    Sleep(3000);
                    continue;
                }
            } else if (!cameraLinkPortOpens(own, k - 1)) {
                std::printf("The cl serial port %d. is occupied or not exist, please check the system "
                            "configuration\n",
                            k - 1);
                std::fflush(stdout);
                Sleep(3000);
                continue;
            }
            if (!comPortOpens(p.userPortName)) {
                std::printf("The com port %s is occupied or not exist, please check the system configuration\n",
                            p.userPortName.c_str());
                std::fflush(stdout);
                Sleep(3000);
            }
            for (const std::string& warning : read.warnings)
                say(warning);
            if (p.record) {
                const std::string key = recordFileKey(p.record->path);
                const auto owner = std::find_if(recordFiles.begin(), recordFiles.end(),
                                                [&](const RecordFileOwner& o) { return o.key == key; });
                if (owner != recordFiles.end()) {
                    say("The record file \"" + p.record->path + "\" of section connection" + std::to_string(k) +
                        " is the record file of section connection" + std::to_string(owner->section) +
                        " already, the connection runs without a record");
                    p.record.reset();
                } else {
                    recordFiles.push_back({key, k});
                    if (const DWORD error = checkRecordFileOpens(p.record->path))
                        say("The record file \"" + p.record->path + "\" of section connection" + std::to_string(k) +
                            " cannot be opened (" + windowsErrorText(error) + "), the connection runs without a "
                            "record");
                }
            }
            parameters = profile::toArguments(p, read.lineArgument);
        }
        const HINSTANCE started = ShellExecuteA(nullptr, "open", paths.bridgeProgram.c_str(), parameters.c_str(),
                                                paths.directory.c_str(), SW_HIDE);
        if (reinterpret_cast<INT_PTR>(started) <= 32) {
            MessageBoxA(nullptr, "Cannot open ClserDunmere.exe", "Error", MB_ICONEXCLAMATION);
            return;
        }
        Sleep(500);
    }
}

} // namespace

int runLauncher()
{
    vcom::TarvVComPairLibrary library;
    bool success = library.init() != 0;
    if (success) {
        const int pairCount = library.pairCount();
        const ClSerialLibraryLoad own = loadOwnClSerialLibrary();
        const uint32_t numClPorts = cameraLinkPortCount(own);
        const LauncherPaths paths = launcherPathsOfThisProgram();

        std::vector<int> connections;
        if (readComValue(paths.configFile, 1).empty())
            success = firstRun(library, paths, numClPorts, pairCount, connections);
        else
            success = checkRun(library, paths, allCameraLinkPortCount(numClPorts), connections);

        if (success) {
            std::printf("Starting ClserDunmere and create connection...\n");
            std::fflush(stdout);
            Sleep(1500);
            if (GetFileAttributesA(paths.bridgeProgram.c_str()) == INVALID_FILE_ATTRIBUTES &&
                GetLastError() == ERROR_FILE_NOT_FOUND) {
                std::printf("Error: Not found ClserDunmere2.exe, please check the installation.\n");
                std::fflush(stdout);
                return -1;
            }
            startBridges(paths, connections, own.library);
            return 0;
        }
    }
    showLibraryError(library);
    return 0;
}

} // namespace clser::autorun
