#include "connection_config.h"

#include "connection_settings.h"
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
                      int clPortNameCount, uint32_t baudRate, int32_t parity, uint32_t dataBits, int32_t stopBits,
                      bool lowLatency)
{
    for (int i = 1; i <= clPortNameCount; ++i) {
        const std::string section = config::sectionName(i);
        const std::string com = config::readValue(path, section, config::kCom, "");
        const int clser = config::readNumber(path, section, config::kClser, -1);
        if (upperCase(com) != previousComName || clser != previousClIndex)
            continue;
        writeNumber(section, config::kBaudrate, baudRate, path);
        writeValue(section, config::kParity, parityLetter(parity), path);
        writeNumber(section, config::kDatabit, dataBits, path);
        writeValue(section, config::kStopbit, stopBitsLabel(stopBits), path);
        if (lowLatency || !config::readValue(path, section, config::kLowlatency, "").empty())
            writeValue(section, config::kLowlatency, lowLatency ? "1" : "0", path);
        return i;
    }
    return 0;
}

} // namespace clser
