// Trace lines of any block of bytes: one "%x[%c] " piece per byte, whose digits give
// the byte back, and never a NUL, line break or tab in the line. The first bytes also
// serve as a Windows error code for the error table.
#include "fuzz_check.h"
#include "trace_line.h"
#include "windows_error_status.h"

#include <cstring>
#include <set>
#include <string>

using namespace clser;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line = formatTraceLine(data, size);
    size_t pos = 0;
    for (size_t i = 0; i < size; ++i) {
        const size_t open = line.find('[', pos);
        FUZZ_CHECK(open != std::string::npos && open > pos && open - pos <= 2);
        const unsigned value = static_cast<unsigned>(std::stoul(line.substr(pos, open - pos), nullptr, 16));
        FUZZ_CHECK(value == data[i]);
        FUZZ_CHECK(open + 3 < line.size() + 1 && line[open + 2] == ']' && line[open + 3] == ' ');
        pos = open + 4;
    }
    FUZZ_CHECK(pos == line.size());
    for (char c : line)
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 32 && c != 127);

    uint32_t code = 0;
    std::memcpy(&code, data, size < sizeof code ? size : sizeof code);
    static const std::set<int> numbers{0, 2, 3, 4, 5, 9, 10, 12, 13, 14, 16, 17, 19, 22, 24, 28, 32, 40, 138};
    FUZZ_CHECK(numbers.count(errorNumberFromWindowsError(code)) == 1);
    FUZZ_CHECK(statusFromWindowsError(code) == -errorNumberFromWindowsError(code));
    return 0;
}
