// The list file's place from any TEMP value, and the library's bounded texts: never cut
// a value the library accepts, never longer than their buffers, and a '%' in a value
// stays text.
//
// Input: 4 bytes integer for the numeric texts, 2 bytes buffer size, then the value.
#include "fuzz_check.h"
#include "list_file_location.h"
#include "text_format.h"

#include <cstring>
#include <string>

using namespace clser::vcom;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6)
        return 0;
    int32_t number = 0;
    uint16_t bufferSize = 0;
    std::memcpy(&number, data, 4);
    std::memcpy(&bufferSize, data + 4, 2);
    std::string value(reinterpret_cast<const char*>(data) + 6, size - 6);

    const std::string cut = formatBounded(bufferSize, "%s", value.c_str());
    const size_t shown = std::strlen(value.c_str());
    FUZZ_CHECK(cut == value.substr(0, bufferSize == 0 ? 0 : std::min<size_t>(shown, bufferSize - 1u)));

    // An environment value holds no NUL.
    value = value.substr(0, shown);
    const auto location = listFileLocation(value);
    FUZZ_CHECK(location.has_value() == (!value.empty() && value.size() <= kLongestTempDirectory));
    if (location) {
        FUZZ_CHECK(location->listFile == value + "\\TarvVirtualCom.txt");
        FUZZ_CHECK(location->listParameters.find(location->listFile) != std::string::npos);
        FUZZ_CHECK(location->listParameters.rfind("--output ", 0) == 0);
    }
    FUZZ_CHECK(com0comNotFoundText(value).size() <= 511);
    FUZZ_CHECK(invalidPairIndexText(number).size() <= 511);
    FUZZ_CHECK(waitingCountdownText(number).size() <= 127);
    return 0;
}
