#include "connection_settings.h"

namespace clser {

void parseLineSettings(std::string_view text, ConnectionSettings& s)
{
    s.line = parseLineSettings(text);
    s.clBaudCode = clBaudCodeForRate(s.line.baudRate);
}

} // namespace clser
