// Stand-in for the frame-grabber SDK's acquisition library: answers the board count
// from the configured boards (see sdk_board_config.h).
#include "sdk_board_config.h"
#include "sdk_entry_points.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

#define STANDIN_EXPORT extern "C" __declspec(dllexport)

namespace {
constexpr int kFailure = -1;
}

#ifndef CLSER_SDK_PARTIAL

STANDIN_EXPORT int CLSER_SDK_CALL Fg_getSystemInformation(void* board, int selector, int property, int parameter,
                                                           char* buffer, unsigned int* bufferLength)
{
    (void)board;
    (void)property;
    (void)parameter;
    const clser::testbed::SdkBoardConfig config = clser::testbed::currentSdkBoardConfig();
    if (!config.valid) {
        std::fprintf(stderr, "acqlib5 stand-in: %s\n", config.error.c_str());
        return kFailure;
    }
    if (config.systemInfoResult != 0)
        return config.systemInfoResult;
    if (selector != clser::sdk::kSystemInfoBoardCount || !buffer || !bufferLength)
        return kFailure;
    const std::size_t needed = config.boardCountText.size() + 1;
    if (*bufferLength < needed) {
        *bufferLength = static_cast<unsigned int>(needed);
        return kFailure;
    }
    std::memcpy(buffer, config.boardCountText.c_str(), needed);
    *bufferLength = static_cast<unsigned int>(needed);
    return 0;
}
static_assert(std::is_same_v<decltype(&Fg_getSystemInformation), clser::sdk::FgGetSystemInformationFn>);

#else

// The library without the entry point that port discovery calls.
STANDIN_EXPORT int CLSER_SDK_CALL SimPartialLibrary() { return 1; }

#endif
