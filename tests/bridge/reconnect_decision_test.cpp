#include "bridge_controller.h"
#include "connection_settings.h"

#include <gtest/gtest.h>

using namespace clser;

namespace {

TEST(SettingsNeedReconnect, EchoAloneDoesNotCount)
{
    ConnectionSettings a;
    a.bridgePortName = "TARVCOM5";
    a.userPortName = "COM5";
    a.clPortIndex = 0;
    ConnectionSettings b = a;
    b.echo = true;
    EXPECT_FALSE(settingsNeedReconnect(a, b));
    auto changed = [&](auto mutate) {
        ConnectionSettings c = a;
        mutate(c);
        return settingsNeedReconnect(a, c);
    };
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.clBaudCode = 2; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.clPortIndex = 1; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.line.baudRate = 19200; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.line.dataBits = 7; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.userPortName = "COM6"; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.bridgePortName = "TARVCOM6"; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.line.parity = Parity::odd; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.line.stopBits = StopBits::two; }));
    EXPECT_TRUE(changed([](ConnectionSettings& c) { c.userPortName = "com5"; }));
}

} // namespace
