#include "trace_line.h"

namespace clser {

std::string formatTraceLine(const uint8_t* bytes, size_t count)
{
    static const char kHex[] = "0123456789abcdef";
    std::string line;
    line.reserve(count * 6);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        if (b >= 16)
            line += kHex[b >> 4];
        line += kHex[b & 15];
        line += '[';
        line += (b < 32 || b == 127) ? '.' : static_cast<char>(b);
        line += "] ";
    }
    return line;
}

} // namespace clser
