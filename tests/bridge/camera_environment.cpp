// Points the simulated camera at the bridge tests' configuration before any test runs.
#include "bridge_camera_config.h"
#include "camera_environment.h"
#include "scratch_files.h"

namespace clser::test {

const std::string& echoCameraReceiveLog()
{
    static const std::string path = scratchPath("echo_camera_rx.bin");
    return path;
}

const std::string& slowCameraReceiveLog()
{
    static const std::string path = scratchPath("slow_camera_rx.bin");
    return path;
}

const std::string& streamingCameraOverflowLog()
{
    static const std::string path = scratchPath("streaming_camera_overflow.txt");
    return path;
}

namespace {

const bool registered = useCameraConfigForAllTests(bridgeCameraConfig) &&
                        useCameraConfigForAllTests(otherMakerCameraConfig, "CLSERLRK_SIM_CONFIG");

} // namespace

} // namespace clser::test
