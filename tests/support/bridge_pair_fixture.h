// Tests that connect a bridge: one pseudo-terminal pair, the user's end open as a
// terminal program opens it, and a bridge controller over a recording main dialog.
#pragma once

#include "bridge_controller.h"
#include "pty_rig.h"
#include "recording_bridge_ui.h"
#include "user_port.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace clser::test {

class BridgePairTest : public ::testing::Test {
protected:
    BridgePairTest(std::string userPortName, std::string bridgePortName);

    // The pair, its user end open, and a controller that is not connected.
    void SetUp() override;
    // Disconnects and removes the controller, then closes the user end and the pair.
    void TearDown() override;

    // Points the controller's settings at the pair and that camera port.
    ConnectionSettings& configure(int cameraPort);

    // The Camera Link port is closed again when another open of it succeeds.
    static bool clPortIsFree(uint32_t index);
    static bool comPortIsFree(const std::string& name);

    const std::string userPortName_;
    const std::string bridgePortName_;
    RecordingBridgeUi ui_;
    std::unique_ptr<BridgeController> controller_;
    UserPort user_;
    std::unique_ptr<testbed::ScopedPtyPair> pair_;
};

} // namespace clser::test
