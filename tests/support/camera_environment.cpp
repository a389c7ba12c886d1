#include "camera_environment.h"

#include "camera_config.h"

#include <gtest/gtest.h>

namespace clser::test {
namespace {

class CameraEnvironment : public ::testing::Environment {
public:
    explicit CameraEnvironment(std::string (*config)()) : config_(config) {}
    void SetUp() override { useCameraConfig(config_()); }

private:
    std::string (*config_)();
};

} // namespace

bool useCameraConfigForAllTests(std::string (*config)())
{
    return ::testing::AddGlobalTestEnvironment(new CameraEnvironment(config)) != nullptr;
}

} // namespace clser::test
