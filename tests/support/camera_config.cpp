#include "camera_config.h"

#include "scratch_files.h"

#include <cstdlib>

namespace clser::test {

std::string useCameraConfig(const std::string& text, const char* variable)
{
    const std::string path = scratchPath(std::string(variable) + ".conf");
    writeTextFile(path, text);
    _putenv_s(variable, path.c_str());
    return path;
}

std::map<std::string, std::optional<std::string>> withoutSdkVariables()
{
    return {{"TARVDIR5_32", std::nullopt}, {"TARVDIR5", std::nullopt}, {"CLSER_SDK_CONFIG", std::nullopt}};
}

} // namespace clser::test
