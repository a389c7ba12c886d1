// The nine exported functions: state checks, then the work of each.
#define TARVVCOM_BUILDING_DLL
#include "TarvVirtualComPort.h"

#include "admin_check.h"
#include "cl_serial_library.h"
#include "cl_serial_library_names.h"
#include "device_name_scan.h"
#include "install_numbering.h"
#include "pair_end_wait.h"
#include "pair_listing.h"
#include "program_path.h"
#include "serial_device_names.h"
#include "setupc_location.h"
#include "setupc_runner.h"
#include "text_format.h"
#include "vcom_messages.h"
#include "vcom_module.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>

using namespace clser;
using namespace clser::vcom;

namespace {

constexpr unsigned long kInstallWaitMs = 30000;

// The module for an export, or null after setting the export's state-check text.
VComModule* usableModule(StateCheckWording wording)
{
    VComModule* module = currentModule();
    if (const char* failure = stateCheckFailure(wording, module)) {
        setLastErrorText(failure);
        return nullptr;
    }
    return module;
}

VComModule* createModule()
{
    auto* module = new VComModule;
    module->runningAsAdmin = isUserAdmin();
    const SetupcCandidate found = findSetupc();
    module->com0comDirectory = found.directory;
    module->setupcPath = found.path;
    return module;
}

void print(const std::string& progress)
{
    std::fputs(progress.c_str(), stdout);
}

// The pair number of an identifier whose text after its first three characters
// (CNC<digits>) is digits only; none for any other identifier, "CNC3x" among them.
std::optional<int> exactPairNumberOfId(std::string_view pairId)
{
    if (pairId.size() <= 3)
        return std::nullopt;
    return decimalValue(pairId.substr(3));
}

} // namespace

extern "C" {

int TARVVCOM_CALL TarvVComInit(void)
{
    VComModule*& module = currentModule();
    if (!module)
        module = createModule();
    if (module->com0comDirectory.empty() || module->setupcPath.empty()) {
        setLastErrorText(com0comNotFoundText(parentOfProgramDirectory(modulePath())));
        return 0;
    }
    if (!refreshPairList(*module))
        return 0;
    module->initialised = true;
    return 1;
}

int TARVVCOM_CALL TarvVComInstallAll(void)
{
    VComModule* module = usableModule(StateCheckWording::Plain);
    if (!module)
        return 0;
    // One pair per port of this system's own library; other makers' ports get theirs
    // from their connections' sections.
    uint32_t portCount = 0;
    const ClSerialLibraryLoad own = loadOwnClSerialLibrary();
    if (own.library)
        portCount = own.library->portCount().value_or(0);
    if (portCount == 0)
        setLastErrorText(own.library ? std::string(text::kNoCameraLinkBoards) : libraryLoadLine(kOwnClSerialLibrary, own));
    const auto numbers = numbersToInstall(collectUsedPortNumbers(scanSerialDeviceNames()), portCount,
                                          static_cast<long long>(module->pairs.size()));
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        std::printf(text::kInstallingPairNumber, static_cast<int>(i + 1));
        if (!TarvVComInstall(numbers[i])) {
            print(text::kInstallAllFailed);
            return 0;
        }
    }
    return 1;
}

int TARVVCOM_CALL TarvVComGetCOMPairCount(void)
{
    VComModule* module = usableModule(StateCheckWording::Plain);
    return module ? static_cast<int>(module->pairs.size()) : 0;
}

int TARVVCOM_CALL TarvVComGetOneCOMPair(int index, char* pairId, char* portName, char* partnerName)
{
    VComModule* module = usableModule(StateCheckWording::Dotted);
    if (!module)
        return 0;
    const int count = static_cast<int>(module->pairs.size());
    if (count == 0) {
        setLastErrorText(text::kNoPairsInstalled);
        return 0;
    }
    if (index < 0 || index >= count) {
        setLastErrorText(invalidPairIndexText(count));
        return 0;
    }
    const VirtualPair& pair = module->pairs[static_cast<std::size_t>(index)];
    copyPairText(pairId, pair.pairId);
    copyPairText(portName, pair.portName);
    copyPairText(partnerName, pair.partnerName);
    return 1;
}

int TARVVCOM_CALL TarvVComGetErrorDescription(char* buffer)
{
    return describeError(lastErrorText(), buffer);
}

int TARVVCOM_CALL TarvVComInstall(int comNumber)
{
    VComModule* module = usableModule(StateCheckWording::Plain);
    if (!module)
        return 0;
    if (comNumber < 1) {
        setLastErrorText(text::kInstallNumberNotPositive);
        return 0;
    }
    if (TarvVComCheckPortUse(comNumber) != 0) {
        setLastErrorText(text::kInstallNumberOccupied);
        return 0;
    }
    const std::string parameters = formatBounded(256, text::kInstallCommand, comNumber, comNumber);
    std::printf(text::kInstallingPair, comNumber, comNumber);

    const auto run = runSetupc(module->setupcPath, module->com0comDirectory, setupcVerb(module->runningAsAdmin),
                               parameters, kInstallWaitMs);
    if (run.outcome == SetupcRun::StartFailed) {
        setLastErrorText(formatBounded(256, text::kInstallStartFailed, static_cast<int>(run.lastError)));
        return 0;
    }
    if (run.outcome == SetupcRun::WaitFailed) {
        setLastErrorText(text::kInstallWaitFailed);
        return 0;
    }

    const bool ready = waitForPairEnds(kPairEndAttempts, {[comNumber] { return pairEndsOpen(comNumber); }, print,
                                                          [] { Sleep(1000); }});
    print("\n");
    if (!ready)
        return 0;
    refreshPairList(*module);
    return 1;
}

int TARVVCOM_CALL TarvVComRemove(const char* pairId)
{
    VComModule* module = usableModule(StateCheckWording::Remove);
    if (!module)
        return 0;
    if (module->pairs.empty()) {
        setLastErrorText(text::kRemoveNoPairs);
        return 0;
    }
    if (!pairId) {
        setLastErrorText(text::kRemoveNullId);
        return 0;
    }
    const std::string id = pairId;
    const auto listed = std::find_if(module->pairs.begin(), module->pairs.end(),
                                     [&id](const VirtualPair& p) { return p.pairId == id; });
    if (listed == module->pairs.end()) {
        setLastErrorText(formatBounded(512, text::kRemoveUnknownId, pairId));
        return 0;
    }
    const std::optional<int> pairNumber = exactPairNumberOfId(id);
    if (!pairNumber) {
        setLastErrorText(text::kRemoveBadId);
        return 0;
    }
    const std::string parameters = formatBounded(256, text::kRemoveCommand, *pairNumber);
    const auto run =
        runSetupc(module->setupcPath, module->com0comDirectory, setupcVerb(module->runningAsAdmin), parameters, 0);
    if (run.outcome == SetupcRun::StartFailed) {
        setLastErrorText(text::kRemoveStartFailed);
        return 0;
    }
    module->pairs.erase(listed);
    return 1;
}

int TARVVCOM_CALL TarvVComCheckPortUse(int comNumber)
{
    if (!usableModule(StateCheckWording::Dotted))
        return -1;
    if (comNumber < 1) {
        setLastErrorText(text::kCheckNumberNotPositive);
        return -1;
    }
    const auto used = collectUsedPortNumbers(scanSerialDeviceNames());
    return std::find(used.begin(), used.end(), comNumber) != used.end() ? 1 : 0;
}

int TARVVCOM_CALL TarvVComClose(void)
{
    VComModule*& module = currentModule();
    delete module;
    module = nullptr;
    return 1;
}

} // extern "C"
