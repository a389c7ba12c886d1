#include "bridge_pair_fixture.h"

#include "cl_serial_api.h"

#include <utility>

namespace clser::test {

BridgePairTest::BridgePairTest(std::string userPortName, std::string bridgePortName)
    : userPortName_(std::move(userPortName)), bridgePortName_(std::move(bridgePortName))
{
}

void BridgePairTest::SetUp()
{
    controller_ = std::make_unique<BridgeController>(ui_, std::nullopt);
    pair_ = std::make_unique<testbed::ScopedPtyPair>(userPortName_, bridgePortName_);
    ASSERT_TRUE(pair_->ok()) << pair_->error();
    ASSERT_TRUE(user_.open(userPortName_));
}

void BridgePairTest::TearDown()
{
    if (controller_)
        controller_->disconnectBridge();
    controller_.reset();
    user_.close();
    pair_.reset();
}

ConnectionSettings& BridgePairTest::configure(int cameraPort)
{
    ConnectionSettings& s = controller_->settings();
    s.bridgePortName = bridgePortName_;
    s.userPortName = userPortName_;
    s.clPortIndex = cameraPort;
    return s;
}

bool BridgePairTest::clPortIsFree(uint32_t index)
{
    void* ref = nullptr;
    if (clSerialInit(index, &ref) != 0)
        return false;
    clSerialClose(ref);
    return true;
}

bool BridgePairTest::comPortIsFree(const std::string& name)
{
    UserPort probe;
    return probe.open(name);
}

} // namespace clser::test
