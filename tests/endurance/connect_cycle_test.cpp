// Connecting and disconnecting many times in one process leaves the process as it was:
// no handle, thread or memory left behind per cycle.
#include "endurance_support.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>
#include <cstring>
#include <vector>

using namespace clser;
using namespace clser::test;
using namespace std::chrono_literals;

namespace {

// Handles the process holds, counted one by one: a handle value is valid when the
// system can tell its flags. (Wine's GetProcessHandleCount answers 0 whatever the process
// holds, so the count is taken this way.)
DWORD countOpenHandles()
{
    DWORD count = 0;
    for (uintptr_t value = 4; value < 4 * 2048; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

// Threads of this process, from the system's process list.
DWORD countThreads()
{
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry))
        if (entry.th32ProcessID == GetCurrentProcessId())
            return entry.cntThreads;
    return 0;
}

struct ProcessFigures {
    DWORD threads = 0;
    DWORD handles = 0;           // counted one by one
    DWORD reportedHandles = 0;   // GetProcessHandleCount
    SIZE_T workingSet = 0;
    SIZE_T committed = 0;        // PagefileUsage: private memory committed
};

ProcessFigures currentFigures()
{
    ProcessFigures f;
    f.threads = countThreads();
    f.handles = countOpenHandles();
    GetProcessHandleCount(GetCurrentProcess(), &f.reportedHandles);
    PROCESS_MEMORY_COUNTERS m{};
    m.cb = sizeof m;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m)) {
        f.workingSet = m.WorkingSetSize;
        f.committed = m.PagefileUsage;
    }
    return f;
}

void print(const char* when, int cycles, const ProcessFigures& f)
{
    std::printf("[figures] %-6s cycles=%-4d threads=%lu handles=%lu (GetProcessHandleCount: %lu) "
                "working_set_kib=%llu committed_kib=%llu\n",
                when, cycles, static_cast<unsigned long>(f.threads), static_cast<unsigned long>(f.handles),
                static_cast<unsigned long>(f.reportedHandles),
                static_cast<unsigned long long>(f.workingSet / 1024),
                static_cast<unsigned long long>(f.committed / 1024));
    std::fflush(stdout);
}

class ConnectCycleTest : public PairFixture {};

TEST(ProcessFigureSources, GiveMeaningfulValuesUnderThisSystem)
{
    // A handle opened shows in the count, and memory touched shows in the working set
    // and the committed memory; otherwise the flat figures of the cycle test would prove
    // nothing.
    const ProcessFigures before = currentFigures();
    print("probe", 0, before);
    ASSERT_GT(before.handles, 0u);
    ASSERT_GT(before.workingSet, 0u);
    std::vector<UniqueHandle> events;
    for (int i = 0; i < 10; ++i)
        events.emplace_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    EXPECT_EQ(currentFigures().handles, before.handles + 10);
    events.clear();
    EXPECT_EQ(currentFigures().handles, before.handles);

    const size_t size = 32u << 20;
    void* block = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, size);
    const ProcessFigures touched = currentFigures();
    VirtualFree(block, 0, MEM_RELEASE);
    EXPECT_GT(touched.workingSet, before.workingSet + size / 2);
    EXPECT_GT(touched.committed, before.committed + size / 2);
}

TEST_F(ConnectCycleTest, TwoHundredCyclesLeaveHandlesAndMemoryFlat)
{
    constexpr int kWarmUp = 10;
    constexpr int kCycles = 200;
    // Each cycle carries a block in both directions. A whole block (1024 bytes) ends the
    // thread's COM read at once, so one sent just after the disconnect began lets the
    // thread end without waiting out the read's time-out; its echo, when it comes, is
    // read away.
    auto cycle = [&](int i) {
        ASSERT_EQ(controller_->connectBridge(), 1) << "cycle " << i;
        const std::string block = numberedBlock(1024, static_cast<unsigned>(i));
        ASSERT_TRUE(user_.write(block));
        ASSERT_EQ(user_.read(block.size(), 2000), block) << "cycle " << i;
        std::thread waker([&] {
            std::this_thread::sleep_for(10ms);
            user_.write(numberedBlock(1024, 7777));
        });
        disconnectBounded();
        waker.join();
        ASSERT_FALSE(controller_->connected());
        const std::string late = user_.read(1024, 60);
        ASSERT_TRUE(late.empty() || numberedBlock(1024, 7777).rfind(late, 0) == 0) << "cycle " << i;
    };
    configure(kPlainEchoCamera);
    for (int i = 0; i < kWarmUp; ++i)
        ASSERT_NO_FATAL_FAILURE(cycle(i));
    const ProcessFigures start = currentFigures();
    print("start", kWarmUp, start);
    ProcessFigures middle;
    for (int i = 0; i < kCycles; ++i) {
        ASSERT_NO_FATAL_FAILURE(cycle(kWarmUp + i));
        if (i == kCycles / 2 - 1) {
            middle = currentFigures();
            print("middle", kWarmUp + i + 1, middle);
        }
    }
    const ProcessFigures end = currentFigures();
    print("end", kWarmUp + kCycles, end);
    RecordProperty("handles_start", static_cast<int>(start.handles));
    RecordProperty("handles_end", static_cast<int>(end.handles));
    RecordProperty("working_set_kib_start", static_cast<int>(start.workingSet / 1024));
    RecordProperty("working_set_kib_end", static_cast<int>(end.workingSet / 1024));

    // A leak of one handle a cycle would add 200; a few may come and go with Wine's own
    // threads. Memory: a leak of one transfer buffer (4 KiB) a cycle would add 800 KiB.
    EXPECT_EQ(end.threads, start.threads) << "every transfer thread ended";
    EXPECT_LE(end.handles, start.handles + 3);
    EXPECT_LE(end.handles, middle.handles + 3) << "no growth in the second half either";
    EXPECT_LT(end.committed, start.committed + 512 * 1024);
    EXPECT_LT(end.workingSet, start.workingSet + 1024 * 1024);
    EXPECT_TRUE(ui_.trace.lines().empty());
    EXPECT_TRUE(ui_.messages.empty());
}

} // namespace
