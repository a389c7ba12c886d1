#include "connection_config.h"

#include "dunmere_config.h"
#include "letter_case.h"

#include <windows.h>

#include <cstdio>

namespace clser {
namespace {

void writeValue(const std::string& section, const char* key, const char* value, const std::string& path)
{
    char buf[config::kValueBufferSize];
    std::snprintf(buf, sizeof buf, "%s", value);
    WritePrivateProfileStringA(section.c_str(), key, buf, path.c_str());
}

void writeNumber(const std::string& section, const char* key, unsigned long value, const std::string& path)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%lu", value);
    writeValue(section, key, buf, path);
}

} // namespace

int writeBackSettings(const std::string& path, const std::string& previousComName, int32_t previousClIndex,
                      int clPortNameCount, const LineSettings& line, bool lowLatency)
{
    for (int i = 1; i <= clPortNameCount; ++i) {
        const std::string section = config::sectionName(i);
        const std::string com = config::readValue(path, section, config::kCom, "");
        const int clser = config::readNumber(path, section, config::kClser, -1);
        if (upperCase(com) != previousComName || clser != previousClIndex)
            continue;
        writeNumber(section, config::kBaudrate, line.baudRate, path);
        writeValue(section, config::kParity, parityLetter(line.parity), path);
        writeNumber(section, config::kDatabit, line.dataBits, path);
        writeValue(section, config::kStopbit, stopBitsLabel(line.stopBits), path);
        if (lowLatency || !config::readValue(path, section, config::kLowlatency, "").empty())
            writeValue(section, config::kLowlatency, lowLatency ? "1" : "0", path);
        return i;
    }
    return 0;
}

} // namespace clser
