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
    FUZZ_CHECK(clBaudCodeForRate(s.line.baudRate) == s.clBaudCode);
    const int32_t parity = static_cast<int32_t>(s.line.parity);
    const int32_t stopBits = static_cast<int32_t>(s.line.stopBits);
    FUZZ_CHECK(parity >= 0 && parity <= 2);
    FUZZ_CHECK(s.line.dataBits >= 5 && s.line.dataBits <= 9);
    FUZZ_CHECK(stopBits >= 0 && stopBits <= 2);
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
    s.line.baudRate = 1; // values no field produces, so an untouched field shows
    s.clBaudCode = -1;
    s.line.parity = static_cast<Parity>(-1);
    s.line.dataBits = 0;
    s.line.stopBits = static_cast<StopBits>(-1);
    s.setLine(parseLineSettings(text));
    checkAccepted(s);

    // What the bridge receives: the launcher's text, upper-cased on the command line.
    ConnectionSettings fromUpper;
    fromUpper.setLine(parseLineSettings(upper(text)));
    checkAccepted(fromUpper);

    ConnectionSettings reread;
    reread.setLine(parseLineSettings(upper(lineSettingsText(s.line))));
    FUZZ_CHECK(reread.line == s.line && reread.clBaudCode == s.clBaudCode);
    return 0;
}
