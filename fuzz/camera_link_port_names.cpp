// Camera Link display names from any board name and numbers: never longer than their
// 256-byte buffer, their leading number is the port index again, and box positions and
// (library, index) pairs map into each other.
#include "camera_link_port_names.h"
#include "cl_serial_library_names.h"
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

    // Ports of two libraries and the data of a box's items, in any order and any number.
    std::vector<CameraLinkPort> ports{{name, "", cameraLinkPortIndexOfName(name)}};
    std::vector<intptr_t> itemData;
    while (fdp.remaining_bytes() > 0 && ports.size() < 64) {
        const std::string item = fdp.ConsumeRandomLengthString(64);
        FUZZ_CHECK(cameraLinkPortIndexOfName(item) >= -1);
        ports.push_back({item, fdp.ConsumeBool() ? "clserlrk.dll" : "", fdp.ConsumeIntegralInRange<int32_t>(-1, 8)});
        itemData.push_back(fdp.ConsumeIntegralInRange<intptr_t>(-1, 64));
    }
    const std::string library = wanted % 2 ? "CLSERLRK.DLL" : "clserbvk.dll";
    const int found = cameraLinkPortBoxPosition(itemData, ports, library, wanted);
    FUZZ_CHECK(found >= -1 && found < static_cast<int>(itemData.size()));
    if (found >= 0 && wanted >= 0) {
        const CameraLinkPort* port = cameraLinkPortAtBoxPosition(itemData, ports, found);
        FUZZ_CHECK(port && port->index == wanted && clser::sameClSerialLibrary(port->library, library));
    }
    if (const CameraLinkPort* port = cameraLinkPortAtBoxPosition(itemData, ports, position))
        FUZZ_CHECK(port >= ports.data() && port < ports.data() + ports.size());
    return 0;
}
