#include "launcher_config.h"

#include "dunmere_config.h"

#include <windows.h>

#include <cstdio>

namespace clser::autorun {

LauncherSection readSection(const std::string& path, int number)
{
    const std::string section = config::sectionName(number);
    LauncherSection s;
    s.com = config::readValue(path, section, config::kCom, "");
    s.clser = config::readNumber(path, section, config::kClser, 0);
    s.baudrate = config::readNumber(path, section, config::kBaudrate, 9600);
    s.parity = config::readValue(path, section, config::kParity, "n");
    s.databit = config::readNumber(path, section, config::kDatabit, 8);
    s.stopbit = config::readValue(path, section, config::kStopbit, "1");
    s.run = config::readNumber(path, section, config::kRun, 1);
    s.connect = config::readNumber(path, section, config::kConnect, 1);
    s.lowlatency = config::readValue(path, section, config::kLowlatency, "");
    return s;
}

RecordSectionValues readRecordValues(const std::string& path, int number)
{
    const std::string section = config::sectionName(number);
    RecordSectionValues values;
    char file[1024] = {};
    const DWORD length = GetPrivateProfileStringA(section.c_str(), kRecordfile, "", file, sizeof file, path.c_str());
    values.recordfile.assign(file, length);
    values.tooLong = length >= sizeof file - 1;
    char mib[32] = {};
    GetPrivateProfileStringA(section.c_str(), kRecordmib, "", mib, sizeof mib, path.c_str());
    values.recordmib = mib;
    return values;
}

std::string readComValue(const std::string& path, int number)
{
    return config::readValue(path, config::sectionName(number), config::kCom, "");
}

void writeFirstRunSection(const std::string& path, int number, const std::string& comPortName, int clIndex)
{
    const std::string section = config::sectionName(number);
    char index[config::kValueBufferSize];
    std::snprintf(index, sizeof index, "%d", clIndex);
    const char* p = path.c_str();
    WritePrivateProfileStringA(section.c_str(), config::kCom, comPortName.c_str(), p);
    WritePrivateProfileStringA(section.c_str(), config::kClser, index, p);
    WritePrivateProfileStringA(section.c_str(), config::kBaudrate, "9600", p);
    WritePrivateProfileStringA(section.c_str(), config::kParity, "n", p);
    WritePrivateProfileStringA(section.c_str(), config::kDatabit, "8", p);
    WritePrivateProfileStringA(section.c_str(), config::kStopbit, "1", p);
    WritePrivateProfileStringA(section.c_str(), config::kRun, "1", p);
    WritePrivateProfileStringA(section.c_str(), config::kConnect, "1", p);
}

} // namespace clser::autorun
