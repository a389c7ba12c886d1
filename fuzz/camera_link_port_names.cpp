// Camera Link display names from any board name and numbers: never longer than their
// 256-byte buffer, their leading number is the port index again, and box positions and
// indices map into each other.
#include "camera_link_port_names.h"
#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

using namespace clser::discovery;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const int globalIndex = fdp.ConsumeIntegral<int>();
    const int portNumber = fdp.ConsumeIntegral<int>();
    const int wanted = fdp.ConsumeIntegral<int>();
    const int position = fdp.ConsumeIntegral<int>();
    const std::string board = fdp.ConsumeRandomLengthString(1024);

    const std::string name = formatCameraLinkPortName(globalIndex, board, portNumber);
    FUZZ_CHECK(name.size() <= kMaxCameraLinkPortNameLength);
    FUZZ_CHECK(cameraLinkPortIndexOfName(name) == (globalIndex >= 0 ? globalIndex : -1));

    std::vector<std::string> shown{name};
    while (fdp.remaining_bytes() > 0 && shown.size() < 64)
        shown.push_back(fdp.ConsumeRandomLengthString(64));
    for (const auto& item : shown) {
        const int index = cameraLinkPortIndexOfName(item);
        FUZZ_CHECK(index >= -1);
    }
    const int found = cameraLinkPortBoxPosition(shown, wanted);
    FUZZ_CHECK(found >= -1 && found < static_cast<int>(shown.size()));
    if (found >= 0 && wanted >= 0)
        FUZZ_CHECK(cameraLinkPortIndexAtBoxPosition(shown, found) == wanted);
    const int index = cameraLinkPortIndexAtBoxPosition(shown, position);
    if (index >= 0)
        FUZZ_CHECK(cameraLinkPortBoxPosition(shown, index) >= 0);
    return 0;
}
