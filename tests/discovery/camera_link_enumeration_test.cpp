// The Camera Link port list built from the boards that the SDK stand-ins report. The
// test program lies in bin, so it binds the stand-ins there; each case names its own
// board file through CLSER_SDK_CONFIG.
#include "camera_link_enumeration.h"
#include "scratch_files.h"
#include "sdk_binding.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace clser::discovery;
using namespace clser::test;

namespace {

// The hardware stand-in's own counters: devices opened so far, and devices not freed.
struct DeviceCounters {
    int initCalls;
    int openDevices;
};

DeviceCounters deviceCounters()
{
    HMODULE hal = GetModuleHandleA("tarv_hal.dll");
    if (!hal)
        return {-1, -1};
    auto initCalls = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(hal, "SimInitDeviceCalls")));
    auto open = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(hal, "SimOpenDeviceCount")));
    return {initCalls ? initCalls() : -1, open ? open() : -1};
}

class CameraLinkEnumeration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(clser::sdk::loadHardwareLibrary(), 0); }
    void TearDown() override { SetEnvironmentVariableA("CLSER_SDK_CONFIG", nullptr); }

    void useBoards(const std::string& config)
    {
        ASSERT_TRUE(tree_.writeFile("boards.txt", config));
        SetEnvironmentVariableA("CLSER_SDK_CONFIG", tree_.path("boards.txt").c_str());
    }

    ScratchTree tree_{R"(C:\clser-discovery-enumeration)"};
};

struct EnumerationCase {
    const char* name;
    const char* boards;
    bool found;
    std::vector<std::string> names;
};

TEST_F(CameraLinkEnumeration, ListsThePortsOfTheReportedBoards)
{
    const EnumerationCase cases[] = {
        {"two boards with 4 and 1 ports are numbered 0 to 4",
         "board0.name = A\nboard0.serial = 4\nboard1.name = B\nboard1.serial = 1\n", true,
         {"0. A_Port0", "1. A_Port1", "2. A_Port2", "3. A_Port3", "4. B_Port0"}},
        {"cl count used when ports/serial gives 0",
         "board0.name = C\nboard0.serial = 0\nboard0.cl = 2\n", true, {"0. C_Port0", "1. C_Port1"}},
        {"ports/serial wins over cl", "board0.name = C\nboard0.serial = 1\nboard0.cl = 3\n", true, {"0. C_Port0"}},
        {"board at device index 3 found past indices without a board",
         "boardcount = 1\nmaxdevices = 4\nboard3.name = D\nboard3.serial = 1\n", true, {"0. D_Port0"}},
        {"board beyond the device indices probed is not found",
         "boardcount = 1\nmaxdevices = 3\nboard3.name = D\nboard3.serial = 1\n", false, {}},
        {"board without name adds nothing and keeps the numbering",
         "board0.serial = 2\nboard1.name = B\nboard1.serial = 1\n", true, {"0. B_Port0"}},
        {"board without serial ports adds nothing",
         "board0.name = E\nboard1.name = B\nboard1.serial = 1\n", true, {"0. B_Port0"}},
        {"stops after boardcount boards were opened",
         "boardcount = 1\nboard0.name = A\nboard0.serial = 1\nboard1.name = B\nboard1.serial = 1\n", true,
         {"0. A_Port0"}},
        {"board count 0", "boardcount = 0\nboard0.name = A\nboard0.serial = 1\n", false, {}},
        {"negative board count", "boardcount = -1\nboard0.name = A\nboard0.serial = 1\n", false, {}},
        {"board count that is no number", "boardcount = many\nboard0.name = A\nboard0.serial = 1\n", false, {}},
        {"failing system information", "sysinfo = -1\nboard0.name = A\nboard0.serial = 1\n", false, {}},
        {"no boards at all", "# nothing installed\n", false, {}},
        {"unreadable board file", "this line has no equals sign\n", false, {}},
    };
    for (const auto& c : cases) {
        useBoards(c.boards);
        std::vector<std::string> names;
        EXPECT_EQ(enumerateCameraLinkPorts(names), c.found) << c.name;
        EXPECT_EQ(names, c.names) << c.name;
        EXPECT_EQ(deviceCounters().openDevices, 0) << c.name << ": every device handle is freed";
    }
}

TEST_F(CameraLinkEnumeration, DefaultBoardMatchesTheSimulatedCamerasTwoPorts)
{
    SetEnvironmentVariableA("CLSER_SDK_CONFIG", nullptr);
    std::vector<std::string> names;
    EXPECT_TRUE(enumerateCameraLinkPorts(names));
    EXPECT_EQ(names, (std::vector<std::string>{"0. SimBoard_Port0", "1. SimBoard_Port1"}));
}

TEST_F(CameraLinkEnumeration, AppendsWithoutClearingAndLeavesTheListAloneOnFailure)
{
    useBoards("board0.name = A\nboard0.serial = 1\n");
    std::vector<std::string> names = {"earlier"};
    EXPECT_TRUE(enumerateCameraLinkPorts(names));
    EXPECT_EQ(names, (std::vector<std::string>{"earlier", "0. A_Port0"}));

    useBoards("sysinfo = 5\nboard0.name = A\nboard0.serial = 1\n");
    EXPECT_FALSE(enumerateCameraLinkPorts(names));
    EXPECT_EQ(names, (std::vector<std::string>{"earlier", "0. A_Port0"}));
}

TEST_F(CameraLinkEnumeration, DeviceIndicesBehindTheLastBoardAreNotProbed)
{
    useBoards("boardcount = 2\nmaxdevices = 8\nboard1.name = A\nboard1.serial = 1\nboard2.name = B\n"
              "board2.serial = 1\n");
    const int before = deviceCounters().initCalls;
    std::vector<std::string> names;
    EXPECT_TRUE(enumerateCameraLinkPorts(names));
    EXPECT_EQ(names, (std::vector<std::string>{"0. A_Port0", "1. B_Port0"}));
    EXPECT_EQ(deviceCounters().initCalls - before, 3) << "indices 0 to 2 probed, 3 to 7 not";
}

TEST_F(CameraLinkEnumeration, LongBoardNameIsCutSafely)
{
    useBoards("board0.name = " + std::string(400, 'N') + "\nboard0.serial = 2\n");
    std::vector<std::string> names;
    EXPECT_TRUE(enumerateCameraLinkPorts(names));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "0. " + std::string(252, 'N'));
    EXPECT_EQ(names[1], "1. " + std::string(252, 'N'));
}

} // namespace
