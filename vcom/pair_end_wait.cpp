#include "pair_end_wait.h"

#include "text_format.h"
#include "unique_handle.h"
#include "vcom_messages.h"

#include <windows.h>

namespace clser::vcom {
namespace {

UniqueFile openEnd(const std::string& path)
{
    return UniqueFile(
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

} // namespace

bool waitForPairEnds(int attempts, const PairEndWaitSteps& steps)
{
    for (int left = attempts; left > 0; --left) {
        if (steps.bothEndsOpen()) {
            steps.print(text::kInstallDone);
            return true;
        }
        steps.print(waitingCountdownText(left));
        steps.pause();
    }
    return false;
}

bool pairEndsOpen(int comNumber)
{
    const UniqueFile userEnd = openEnd(formatBounded(64, text::kUserEndPath, comNumber));
    const UniqueFile bridgeEnd = openEnd(formatBounded(64, text::kBridgeEndPath, comNumber));
    return userEnd && bridgeEnd;
}

} // namespace clser::vcom
