#include "camera_environment.h"

#include "camera_config.h"

#include <gtest/gtest.h>

namespace clser::test {
namespace {

class CameraEnvironment : public ::testing::Environment {
public:
    CameraEnvironment(std::string (*config)(), const char* variable) : config_(config), variable_(variable) {}
    void SetUp() override { useCameraConfig(config_(), variable_); }

private:
    std::string (*config_)();
    const char* variable_;
};

} // namespace

bool useCameraConfigForAllTests(std::string (*config)(), const char* variable)
{
    return ::testing::AddGlobalTestEnvironment(new CameraEnvironment(config, variable)) != nullptr;
}

} // namespace clser::test
