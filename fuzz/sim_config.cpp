// The simulated camera's configuration text: any text is read without harm into a port
// table within its limit, and the values of an accepted text are within their ranges.
#include "fuzz_check.h"
#include "sim_config.h"

#include <string>

using namespace clser::sim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ConfigParseResult result = parseSimConfig(text);
    // The port table keeps within its limit whatever the text; the values of a refused
    // text are not used (the stand-in falls back to its defaults), those of an accepted
    // one are within their ranges.
    FUZZ_CHECK(result.config.ports.size() <= kMaxPorts);
    if (result.ok()) {
        for (const PortConfig& port : result.config.ports) {
            FUZZ_CHECK(!port.terminator.empty());
            FUZZ_CHECK(port.faults.readErrorCode < 0 && port.faults.writeErrorCode < 0);
            for (const auto& dump : port.dumps)
                FUZZ_CHECK(dump.second <= kMaxDumpBytes);
            FUZZ_CHECK((port.baudRates & ~0xFFu) == 0);
        }
    }
    std::string bytes;
    if (unescapeConfigText(text, &bytes))
        FUZZ_CHECK(bytes.size() <= text.size());
    return 0;
}
