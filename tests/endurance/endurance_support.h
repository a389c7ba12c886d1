// What the transfer fault and connect cycle tests share: the simulated cameras they
// talk to, one pseudo-terminal pair with a recording main dialog, and bounded waits.
#pragma once

#include "bridge_pair_fixture.h"

#include <chrono>
#include <functional>
#include <string>

namespace clser::test {

enum EnduranceCamera : int {
    kCommandCamera = 0,     // PING -> PONG, DUMP sends 64 KiB at once
    kPlainEchoCamera = 1,   // every byte straight back; logs nothing
    kReadErrorEcho = 2,     // echo; every 25th read fails
    kShortWriteEcho = 3,    // echo; every 8th write takes half
    kWriteErrorEcho = 4,    // echo; every 8th write fails
    kWriteTimeoutEcho = 5,  // echo; every 8th write waits its time-out and fails with it
    kLateAnswerCamera = 6,  // PING -> PONG 2.5 s after the command; logs what it receives
};

// Where the late-answering camera logs what it receives.
const std::string& lateCameraReceiveLog();


// The camera configuration text of the endurance tests.
std::string enduranceCameraConfig();

// Bytes that differ from block to block and position to position, all 256 values.
std::string numberedBlock(size_t size, unsigned blockNumber);

// Runs work on a thread of its own and waits for it up to limit. Work that does not
// finish in time is a hang: the failure is reported and the test program ends at once,
// so that a hang never holds up the test run.
std::chrono::milliseconds runBounded(const std::function<void()>& work, std::chrono::milliseconds limit,
                                     const char* what);

// One pair COM23 <-> TARVCOM23, the user's end open, and a controller over it.
class PairFixture : public BridgePairTest {
protected:
    static constexpr const char* kUserPort = "COM23";
    static constexpr const char* kBridgePort = "TARVCOM23";

    PairFixture() : BridgePairTest(kUserPort, kBridgePort) {}
    // Resumes a stalled user end and disconnects within a loose bound before the pair goes.
    void TearDown() override;

    // Connects and checks that the bridge runs.
    void connect(int cameraPort);
    // Disconnects within a loose bound; returns how long it took.
    std::chrono::milliseconds disconnectBounded(std::chrono::milliseconds limit = std::chrono::milliseconds(5000));

    // Sends numbered blocks, one in flight at a time, each read back from an echoing
    // camera. Returns how many came back complete and unchanged; stops at the first
    // block that does not.
    int echoBlocks(int count, size_t size, unsigned firstNumber = 0);

    bool stalled_ = false;
};

} // namespace clser::test
