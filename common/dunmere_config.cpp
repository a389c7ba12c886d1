#include "dunmere_config.h"

#include <windows.h>

#include <cstdio>

namespace clser::config {

std::string sectionName(int number)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, kSectionFormat, number);
    return buf;
}

std::string configPathBeside(std::string_view modulePath)
{
    const auto slash = modulePath.rfind('\\');
    const std::string_view dir = slash == std::string_view::npos ? std::string_view() : modulePath.substr(0, slash);
    return std::string(dir) + "\\" + kFileName;
}

std::string configPathOfThisProgram()
{
    // Room for long installation paths; a path the system had to cut would name the
    // wrong directory.
    char path[1024] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    // A path cut off at the buffer's end names no real file; use none rather than a wrong one.
    if (n == 0 || n >= sizeof path)
        return configPathBeside("");
    return configPathBeside(std::string_view(path, n));
}

std::string readValue(const std::string& configPath, const std::string& section, const char* key,
                      const char* fallback)
{
    char buf[kValueBufferSize] = {};
    GetPrivateProfileStringA(section.c_str(), key, fallback, buf, sizeof buf, configPath.c_str());
    return buf;
}

} // namespace clser::config
