#include "camera_config.h"

#include "scratch_files.h"

#include <cstdlib>

namespace clser::test {

std::string useCameraConfig(const std::string& text)
{
    const std::string path = scratchPath("camera.conf");
    writeTextFile(path, text);
    _putenv_s("CLSERBVK_SIM_CONFIG", path.c_str());
    return path;
}

} // namespace clser::test
