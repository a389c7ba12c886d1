#include "endurance_support.h"

#include "camera_environment.h"
#include "pty_rig_command.h"
#include "scratch_files.h"

#include <windows.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace clser::test {

const std::string& lateCameraReceiveLog()
{
    static const std::string path = scratchPath("late_camera_rx.bin");
    return path;
}

std::string enduranceCameraConfig()
{
    return "ports = 7\n"
           "[port0]\n"
           "cmd PING = PONG\\r\\n\n"
           "dump DUMP = 65536\n"
           // The dump is there at once, as from an endless line: the whole of it waits
           // for the bridge, whose stop and failures during it are what is tested.
           "receive_buffer = 0\n"
           "[port1]\n"
           "echo = 1\n"
           "[port2]\n"
           "echo = 1\n"
           "read_error_every = 25\n"
           "read_error_code = -10006\n"
           "[port3]\n"
           "echo = 1\n"
           "short_write_every = 8\n"
           "[port4]\n"
           "echo = 1\n"
           "write_error_every = 8\n"
           "write_error_code = -10006\n"
           "[port5]\n"
           "echo = 1\n"
           "write_error_every = 8\n"
           "write_error_code = -10004\n"
           "[port6]\n"
           "cmd PING = PONG\\r\\n\n"
           "delay = 2500\n"
           "receive_log = " + lateCameraReceiveLog() + "\n";
}

std::string numberedBlock(size_t size, unsigned blockNumber)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 167 + blockNumber * 29 + (i >> 8)) & 0xFF);
    return s;
}

std::chrono::milliseconds runBounded(const std::function<void()>& work, std::chrono::milliseconds limit,
                                     const char* what)
{
    struct Shared {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
    };
    auto shared = std::make_shared<Shared>();
    const auto start = std::chrono::steady_clock::now();
    std::thread worker([&work, shared] {
        work();
        std::lock_guard<std::mutex> lock(shared->m);
        shared->done = true;
        shared->cv.notify_all();
    });
    std::unique_lock<std::mutex> lock(shared->m);
    if (!shared->cv.wait_for(lock, limit, [&] { return shared->done; })) {
        std::fprintf(stderr, "HANG: %s did not finish within %lld ms; ending the test program\n", what,
                     static_cast<long long>(limit.count()));
        std::fflush(stderr);
        ADD_FAILURE() << what << " hangs";
        TerminateProcess(GetCurrentProcess(), 3);
    }
    lock.unlock();
    worker.join();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

void PairFixture::TearDown()
{
    if (stalled_)
        ptyRig("resume", kUserPort);
    if (controller_)
        disconnectBounded();
    BridgePairTest::TearDown();
}

void PairFixture::connect(int cameraPort)
{
    configure(cameraPort);
    ASSERT_EQ(controller_->connectBridge(), 1);
    ASSERT_TRUE(controller_->connected());
}

std::chrono::milliseconds PairFixture::disconnectBounded(std::chrono::milliseconds limit)
{
    return runBounded([this] { controller_->disconnectBridge(); }, limit, "disconnectBridge");
}

int PairFixture::echoBlocks(int count, size_t size, unsigned firstNumber)
{
    for (int i = 0; i < count; ++i) {
        const std::string block = numberedBlock(size, firstNumber + static_cast<unsigned>(i));
        if (!user_.write(block))
            return i;
        if (user_.read(size, 1500) != block)
            return i;
    }
    return count;
}

namespace {

const bool registered = useCameraConfigForAllTests(enduranceCameraConfig);

} // namespace
} // namespace clser::test
