#include "dunmere_config.h"

#include "program_path.h"

#include <windows.h>

#include <cstdio>

namespace clser::config {

std::string sectionName(int number)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, kSectionFormat, number);
    return buf;
}

std::string configPathBeside(std::string_view modulePath) { return directoryOf(modulePath) + "\\" + kFileName; }

std::string configPathOfThisProgram() { return configPathBeside(modulePath()); }

std::string readValue(const std::string& configPath, const std::string& section, const char* key,
                      const char* fallback)
{
    char buf[kValueBufferSize] = {};
    GetPrivateProfileStringA(section.c_str(), key, fallback, buf, sizeof buf, configPath.c_str());
    return buf;
}

int readNumber(const std::string& configPath, const std::string& section, const char* key, int fallback)
{
    return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key, fallback, configPath.c_str()));
}

} // namespace clser::config
