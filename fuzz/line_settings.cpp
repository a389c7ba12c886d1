// The line settings parser on any text: every field ends in one of its accepted values,
// and the text made of those values reads back to the same settings.
#include "connection_settings.h"
#include "fuzz_check.h"

#include <cctype>
#include <string>

using namespace clser;

namespace {

void checkAccepted(const ConnectionSettings& s)
{
    FUZZ_CHECK(clBaudCodeForRate(s.baudRate) == s.clBaudCode);
    FUZZ_CHECK(s.parity >= 0 && s.parity <= 2);
    FUZZ_CHECK(s.dataBits >= 5 && s.dataBits <= 9);
    FUZZ_CHECK(s.stopBits >= 0 && s.stopBits <= 2);
}

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    ConnectionSettings s;
    s.baudRate = 1; // values no field produces, so an untouched field shows
    s.clBaudCode = -1;
    s.parity = -1;
    s.dataBits = 0;
    s.stopBits = -1;
    parseLineSettings(text, s);
    checkAccepted(s);

    // What the bridge receives: the launcher's text, upper-cased on the command line.
    ConnectionSettings fromUpper;
    parseLineSettings(upper(text), fromUpper);
    checkAccepted(fromUpper);

    const std::string again = std::to_string(s.baudRate) + "," + upper(parityLetter(s.parity)) + "," +
                              std::to_string(s.dataBits) + "," + stopBitsLabel(s.stopBits);
    ConnectionSettings reread;
    parseLineSettings(again, reread);
    FUZZ_CHECK(reread.baudRate == s.baudRate && reread.clBaudCode == s.clBaudCode && reread.parity == s.parity &&
               reread.dataBits == s.dataBits && reread.stopBits == s.stopBits);
    return 0;
}
