// The simulated camera through the real clserbvk.dll, imported as the programs import
// it: counts in and out, time-outs, round trips, bulk transfers, the port lock across
// opens and processes, and each injected fault.
#include "cl_serial_api.h"
#include "sim_port.h"
#include "unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

constexpr char kConfigVariable[] = "CLSERBVK_SIM_CONFIG";
constexpr char kHoldVariable[] = "CLSERBVK_SIM_TEST_HOLD";

std::string tempPath(const std::string& leaf)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "clserbvk-sim-" + std::to_string(GetCurrentProcessId()) + "-" + leaf;
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool waitForFile(const std::string& path, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(20);
    }
    return false;
}

long long msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

struct ReadResult {
    int32_t status;
    std::string bytes;
};

ReadResult readOnce(void* ref, uint32_t want, uint32_t timeoutMs)
{
    std::string buffer(want, '\0');
    uint32_t count = want;
    int32_t status = clSerialRead(ref, reinterpret_cast<int8_t*>(buffer.data()), &count, timeoutMs);
    buffer.resize(status == CL_ERR_NO_ERR || status == CL_ERR_TIMEOUT ? count : 0);
    return {status, buffer};
}

// Reads until `want` bytes came or a read fails or delivers nothing within a second.
std::string readAll(void* ref, size_t want)
{
    std::string got;
    while (got.size() < want) {
        ReadResult r = readOnce(ref, static_cast<uint32_t>(std::min<size_t>(want - got.size(), 4096)), 1000);
        got += r.bytes;
        if (r.bytes.empty())
            break;
    }
    return got;
}

int32_t writeBytes(void* ref, const std::string& bytes, uint32_t* written = nullptr, uint32_t timeoutMs = 200)
{
    std::string copy = bytes;
    uint32_t count = static_cast<uint32_t>(copy.size());
    int32_t status = clSerialWrite(ref, reinterpret_cast<int8_t*>(copy.data()), &count, timeoutMs);
    if (written)
        *written = count;
    return status;
}

std::string pattern(size_t n, int seed)
{
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((i * 31 + seed + i / 256) & 0xFF);
    return bytes;
}

class SimDll : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (void* ref : refs_)
            clSerialClose(ref);
        for (const std::string& f : files_)
            DeleteFileA(f.c_str());
        SetEnvironmentVariableA(kConfigVariable, nullptr);
    }

    // Each test names its own file, so its ports are its own even when another test
    // program uses the simulated camera at the same time.
    std::string useConfig(const std::string& text)
    {
        std::string path = configPath();
        std::ofstream(path, std::ios::binary) << text;
        SetEnvironmentVariableA(kConfigVariable, path.c_str());
        return path;
    }

    std::string configPath()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        return track(tempPath(std::string(info->name()) + ".cfg"));
    }

    std::string track(const std::string& file)
    {
        files_.push_back(file);
        DeleteFileA(file.c_str());
        return file;
    }

    void* open(uint32_t index = 0)
    {
        void* ref = nullptr;
        EXPECT_EQ(clSerialInit(index, &ref), CL_ERR_NO_ERR);
        refs_.push_back(ref);
        return ref;
    }

    void close(void* ref)
    {
        EXPECT_EQ(clSerialClose(ref), CL_ERR_NO_ERR);
        refs_.erase(std::find(refs_.begin(), refs_.end(), ref));
    }

    std::vector<void*> refs_;
    std::vector<std::string> files_;
};

const char kCamera[] =
    "ports = 2\n"
    "# the 64 KiB dump and echo are read in one piece: more than a grabber's buffer holds\n"
    "receive_buffer = 0\n"
    "cmd id? = CAM-7\\r\\n\n"
    "param exp = 1000\n"
    "dump dump = 16\n"
    "[port1]\n"
    "echo = yes\n";

} // namespace

TEST_F(SimDll, PortCountFollowsTheConfiguration)
{
    uint32_t n = 99;
    SetEnvironmentVariableA(kConfigVariable, nullptr);
    EXPECT_EQ(clGetNumSerialPorts(&n), CL_ERR_NO_ERR);
    EXPECT_EQ(n, 2u) << "no configuration: the two default ports";

    struct Row {
        const char* name;
        const char* text;   // null: no file at all
        uint32_t ports;
    };
    const Row rows[] = {
        {"configured count", "ports = 3\n", 3},
        {"no ports", "ports = 0\n", 0},
        {"missing file falls back to the defaults", nullptr, 2},
        {"malformed file falls back to the defaults", "ports = 5\nthis is no setting\n", 2},
    };
    for (const Row& row : rows) {
        if (row.text)
            useConfig(row.text);
        else
            SetEnvironmentVariableA(kConfigVariable, configPath().c_str());
        n = 99;
        EXPECT_EQ(clGetNumSerialPorts(&n), CL_ERR_NO_ERR) << row.name;
        EXPECT_EQ(n, row.ports) << row.name;
    }
}

TEST_F(SimDll, DefaultCameraAnswersItsCommands)
{
    SetEnvironmentVariableA(kConfigVariable, configPath().c_str());   // missing: the defaults
    void* port0 = open(0);
    void* port1 = open(1);
    struct Row {
        void* ref;
        const char* command;
        std::string answer;
    };
    const Row rows[] = {
        {port0, "id?\r", "SIMCAM-CL simulated camera\r\n"},
        {port0, "ver?\r\n", "1.0.0\r\n"},
        {port0, "sn?\r", "SIM-0000\r\n"},
        {port1, "sn?\r", "SIM-0001\r\n"},
        {port0, "exp 5000\r", "OK\r\n"},
        {port0, "exp?\r", "5000\r\n"},
        {port1, "exp?\r", "1000\r\n"},
        {port0, "gain?\r", "0\r\n"},
        {port0, "nonsense\r", "ERR\r\n"},
        {port0, "dump 3\r", std::string("\x00\x01\x02", 3)},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(writeBytes(row.ref, row.command), CL_ERR_NO_ERR) << row.command;
        EXPECT_EQ(readAll(row.ref, row.answer.size()), row.answer) << row.command;
        EXPECT_EQ(readOnce(row.ref, 1, 0).bytes, "") << row.command << ": nothing more";
    }
}

TEST_F(SimDll, ReadWithNothingTimesOutAfterItsTimeOut)
{
    useConfig(kCamera);
    void* ref = open();
    Clock::time_point start = Clock::now();
    ReadResult r = readOnce(ref, 10, 200);
    long long took = msSince(start);
    EXPECT_EQ(r.status, CL_ERR_TIMEOUT);
    EXPECT_EQ(r.bytes.size(), 0u);
    EXPECT_GE(took, 150);
    EXPECT_LT(took, 3000);

    start = Clock::now();
    r = readOnce(ref, 10, 0);
    EXPECT_EQ(r.status, CL_ERR_TIMEOUT);
    EXPECT_EQ(r.bytes.size(), 0u);
    EXPECT_LT(msSince(start), 150) << "time-out 0 returns at once";
}

TEST_F(SimDll, ReadDeliversPartOfTheWantedCountWhenItTimesOut)
{
    useConfig(kCamera);
    void* ref = open();
    ASSERT_EQ(writeBytes(ref, "id?\r"), CL_ERR_NO_ERR);
    ReadResult r = readOnce(ref, 1024, 10);
    EXPECT_EQ(r.status, CL_ERR_TIMEOUT);
    EXPECT_EQ(r.bytes, "CAM-7\r\n");

    ASSERT_EQ(writeBytes(ref, "id?\r"), CL_ERR_NO_ERR);
    r = readOnce(ref, 3, 0);
    EXPECT_EQ(r.status, CL_ERR_NO_ERR) << "the wanted count is there";
    EXPECT_EQ(r.bytes, "CAM");
    r = readOnce(ref, 100, 0);
    EXPECT_EQ(r.status, CL_ERR_TIMEOUT);
    EXPECT_EQ(r.bytes, "-7\r\n") << "time-out 0 hands over what is queued";
}

TEST_F(SimDll, BlockedReadReturnsOnceTheCountArrives)
{
    useConfig(std::string(kCamera) + "strict = no\n");   // [port1]: writes while the read waits
    void* ref = open(1);   // echo
    std::thread writer([&] {
        Sleep(100);
        writeBytes(ref, "ab");
        Sleep(100);
        writeBytes(ref, "cd");
    });
    Clock::time_point start = Clock::now();
    ReadResult r = readOnce(ref, 4, 10000);
    long long took = msSince(start);
    writer.join();
    EXPECT_EQ(r.status, CL_ERR_NO_ERR);
    EXPECT_EQ(r.bytes, "abcd");
    EXPECT_LT(took, 5000) << "woken by the write, not by the time-out";
}

// A read waits on port 0 while a second call begins on the same reference, on another
// reference to that port, or on the other port. Only the first overlaps: in strict mode it
// is counted and refused at once (a close still closes); otherwise the lock serialises it.
TEST_F(SimDll, SecondCallDuringAReadOnOneReference)
{
    enum Target { kSameReference, kSamePort, kOtherPort };
    enum Call { kWrite, kSetRate, kClose };
    struct Row {
        const char* name;
        bool strict;
        Target target;
        Call call;
        int32_t status;        // of the second call
        int32_t readStatus;    // of the waiting read
        const char* overlaps;  // port 0's overlap log afterwards
    };
    constexpr int32_t kOverlap = clser::sim::kSimErrCallsOverlap;
    const Row rows[] = {
        {"strict: write", true, kSameReference, kWrite, kOverlap, CL_ERR_TIMEOUT, "1"},
        {"strict: rate change", true, kSameReference, kSetRate, kOverlap, CL_ERR_TIMEOUT, "1"},
        {"strict: close still closes", true, kSameReference, kClose, kOverlap, CL_ERR_INVALID_REFERENCE, "1"},
        {"strict: another reference to the port", true, kSamePort, kWrite, CL_ERR_NO_ERR, CL_ERR_NO_ERR, "0"},
        {"strict: the other port", true, kOtherPort, kWrite, CL_ERR_NO_ERR, CL_ERR_TIMEOUT, "0"},
        {"not strict: write", false, kSameReference, kWrite, CL_ERR_NO_ERR, CL_ERR_NO_ERR, "0"},
        {"not strict: close", false, kSameReference, kClose, CL_ERR_NO_ERR, CL_ERR_INVALID_REFERENCE, "0"},
    };
    std::string log = track(tempPath("overlaps.txt"));
    for (const Row& row : rows) {
        useConfig(std::string("ports = 2\necho = yes\nexclusive = no\nstrict = ") + (row.strict ? "yes" : "no")
                  + "\n[port0]\noverlap_log = " + log + "\n");
        void* reader = open(0);
        void* second = row.target == kSameReference ? reader : open(row.target == kSamePort ? 0 : 1);
        ReadResult read{};
        long long took = 0;
        std::thread waiting([&] {
            Clock::time_point start = Clock::now();
            read = readOnce(reader, 1, 1000);
            took = msSince(start);
        });
        Sleep(200);   // the read is waiting by now
        int32_t status = row.call == kWrite ? writeBytes(second, "x")
                         : row.call == kSetRate ? clSetBaudRate(second, CL_BAUDRATE_115200)
                                                : clSerialClose(second);
        waiting.join();
        EXPECT_EQ(status, row.status) << row.name;
        EXPECT_EQ(read.status, row.readStatus) << row.name;
        EXPECT_EQ(fileText(log), row.overlaps) << row.name;
        if (row.call == kClose) {
            EXPECT_LT(took, 900) << row.name << ": woken by the close";
            EXPECT_EQ(clSetBaudRate(reader, CL_BAUDRATE_9600), CL_ERR_INVALID_REFERENCE) << row.name;
        } else {
            EXPECT_EQ(writeBytes(reader, "y"), CL_ERR_NO_ERR) << row.name << ": once alone, a call works";
        }
        for (void* ref : refs_)
            clSerialClose(ref);
        refs_.clear();
    }
}

TEST_F(SimDll, EchoReturns64KiBCompleteAndInOrder)
{
    useConfig(kCamera);
    void* ref = open(1);
    std::string sent = pattern(65536, 3);

    // In the bridge's blocks of 1024 bytes, reading as it goes.
    std::string got;
    for (size_t off = 0; off < sent.size(); off += 1024) {
        uint32_t written = 0;
        ASSERT_EQ(writeBytes(ref, sent.substr(off, 1024), &written), CL_ERR_NO_ERR);
        ASSERT_EQ(written, 1024u);
        got += readOnce(ref, 1024, 10).bytes;
    }
    got += readAll(ref, sent.size() - got.size());
    EXPECT_TRUE(got == sent) << "got " << got.size() << " bytes";

    // And in one piece each way.
    ASSERT_EQ(writeBytes(ref, sent), CL_ERR_NO_ERR);
    ReadResult r = readOnce(ref, 65536, 2000);
    EXPECT_EQ(r.status, CL_ERR_NO_ERR);
    EXPECT_TRUE(r.bytes == sent);
}

TEST_F(SimDll, DumpSends64KiBOfTheCountingPattern)
{
    useConfig(kCamera);
    void* ref = open();
    ASSERT_EQ(writeBytes(ref, "dump 65536\r"), CL_ERR_NO_ERR);
    std::string got = readAll(ref, 65536);
    ASSERT_EQ(got.size(), 65536u);
    size_t wrong = 0;
    for (size_t k = 0; k < got.size(); ++k)
        wrong += static_cast<unsigned char>(got[k]) != k % 256;
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(readOnce(ref, 1, 0).bytes, "");
}

TEST_F(SimDll, AnswerWaitsForTheConfiguredDelay)
{
    useConfig("cmd id? = CAM\\r\\n\ndelay = 300\n");
    void* ref = open();
    Clock::time_point start = Clock::now();
    ASSERT_EQ(writeBytes(ref, "id?\r"), CL_ERR_NO_ERR);
    EXPECT_EQ(readOnce(ref, 5, 0).bytes, "") << "not yet";
    ReadResult r = readOnce(ref, 5, 3000);
    EXPECT_EQ(r.status, CL_ERR_NO_ERR);
    EXPECT_EQ(r.bytes, "CAM\r\n");
    long long took = msSince(start);
    EXPECT_GE(took, 250);
    EXPECT_LT(took, 2500);
}

// A 1 ms read with nothing coming: counted in system ticks it lasts until the next
// boundary of 15.625 ms on the steady clock, otherwise it ends at its own time-out, which
// is before that boundary unless the reader was kept from running for most of a tick.
TEST_F(SimDll, TickTimeOutsLastUntilATickBoundary)
{
    using Tick = std::chrono::duration<long long, std::ratio<1, 64>>;
    const auto boundaryAfter = [](Clock::time_point t) {
        return Clock::time_point(std::chrono::duration_cast<Clock::duration>(
            std::chrono::ceil<Tick>((t + milliseconds(1)).time_since_epoch())));
    };
    useConfig("ports = 2\necho = yes\n[port1]\ntick_timeouts = yes\n");
    void* plain = open(0);
    void* ticking = open(1);
    int plainBeforeBoundary = 0;
    for (int i = 0; i < 5; ++i) {
        Clock::time_point start = Clock::now();
        EXPECT_EQ(readOnce(ticking, 1, 1).status, CL_ERR_TIMEOUT);
        Clock::time_point end = Clock::now();
        EXPECT_GE(end, boundaryAfter(start)) << "read " << i << " ended before the tick boundary";
        EXPECT_LT(end - start, milliseconds(1000)) << "read " << i;

        start = Clock::now();
        EXPECT_EQ(readOnce(plain, 1, 1).status, CL_ERR_TIMEOUT);
        end = Clock::now();
        plainBeforeBoundary += end < boundaryAfter(start);
        EXPECT_LT(end - start, milliseconds(1000)) << "read " << i;
    }
    EXPECT_GT(plainBeforeBoundary, 0) << "without the key no 1 ms read ended before the next tick";

    ASSERT_EQ(writeBytes(ticking, "x"), CL_ERR_NO_ERR);
    Clock::time_point start = Clock::now();
    ReadResult r = readOnce(ticking, 1, 10000);
    EXPECT_EQ(r.status, CL_ERR_NO_ERR);
    EXPECT_EQ(r.bytes, "x");
    EXPECT_LT(msSince(start), 5000) << "a read whose count is there returns at once";
}

TEST_F(SimDll, PacedAnswersRunAtTheLineRate)
{
    useConfig("pace = yes\ndump dump = 480\nreceive_buffer = 200\n");
    void* ref = open();
    ASSERT_EQ(clSetBaudRate(ref, CL_BAUDRATE_9600), CL_ERR_NO_ERR);
    Clock::time_point start = Clock::now();
    ASSERT_EQ(writeBytes(ref, "dump\r"), CL_ERR_NO_ERR);
    EXPECT_EQ(readAll(ref, 480).size(), 480u) << "a waiting read takes the bytes as they come, none overflow";
    EXPECT_GE(msSince(start), 400) << "480 bytes of 10 bits at 9600 bit/s take half a second";
}

TEST_F(SimDll, BaudRateConstantsOutsideTheAcceptedSetAreRefused)
{
    useConfig("baud_rates = 1, 16\n");
    void* ref = open();
    struct Row {
        const char* name;
        uint32_t constant;
        int32_t status;
    };
    const Row rows[] = {
        {"9600 accepted", CL_BAUDRATE_9600, CL_ERR_NO_ERR},
        {"115200 accepted", CL_BAUDRATE_115200, CL_ERR_NO_ERR},
        {"921600 not in the set", CL_BAUDRATE_921600, CL_ERR_BAUD_RATE_NOT_SUPPORTED},
        {"19200 not in the set", CL_BAUDRATE_19200, CL_ERR_BAUD_RATE_NOT_SUPPORTED},
        {"two constants at once", CL_BAUDRATE_9600 | CL_BAUDRATE_115200, CL_ERR_BAUD_RATE_NOT_SUPPORTED},
        {"zero", 0, CL_ERR_BAUD_RATE_NOT_SUPPORTED},
        {"a rate instead of a constant", 9600, CL_ERR_BAUD_RATE_NOT_SUPPORTED},
    };
    for (const Row& row : rows)
        EXPECT_EQ(clSetBaudRate(ref, row.constant), row.status) << row.name;
}

TEST_F(SimDll, OpenPortIsInUseUntilClosed)
{
    useConfig(kCamera);
    void* first = open(0);
    void* second = reinterpret_cast<void*>(1);
    EXPECT_EQ(clSerialInit(0, &second), CL_ERR_PORT_IN_USE);
    EXPECT_EQ(second, nullptr);
    void* other = open(1);
    EXPECT_NE(other, first) << "the other port is free";
    close(first);
    void* again = open(0);
    EXPECT_NE(again, first) << "a reference is never handed out twice";
    EXPECT_EQ(clSerialRead(first, nullptr, nullptr, 0), CL_ERR_INVALID_REFERENCE);
}

TEST_F(SimDll, SharedPortsAndInjectedInUse)
{
    useConfig("ports = 2\n[port0]\nexclusive = no\necho = yes\n[port1]\nin_use = yes\n");
    void* a = open(0);
    void* b = open(0);
    ASSERT_NE(a, b);
    ASSERT_EQ(writeBytes(a, "xy"), CL_ERR_NO_ERR);
    EXPECT_EQ(readAll(b, 2), "xy") << "both references reach the same camera";

    void* ref = nullptr;
    EXPECT_EQ(clSerialInit(1, &ref), CL_ERR_PORT_IN_USE);
    EXPECT_EQ(ref, nullptr);
}

TEST_F(SimDll, BadIndexAndBadReferencesAreRefused)
{
    useConfig(kCamera);
    void* ref = reinterpret_cast<void*>(1);
    EXPECT_EQ(clSerialInit(2, &ref), CL_ERR_INVALID_INDEX);
    EXPECT_EQ(ref, nullptr);
    EXPECT_EQ(clSerialInit(0xFFFFFFFFu, &ref), CL_ERR_INVALID_INDEX);
    EXPECT_EQ(clSerialInit(0, nullptr), CL_ERR_INVALID_REFERENCE);

    void* closed = open();
    close(closed);
    int dummy = 0;
    struct Row {
        const char* name;
        void* ref;
    };
    const Row rows[] = {{"null", nullptr}, {"closed", closed}, {"made up", &dummy}};
    for (const Row& row : rows) {
        int8_t b[4] = {};
        uint32_t n = sizeof b;
        EXPECT_EQ(clSetBaudRate(row.ref, CL_BAUDRATE_9600), CL_ERR_INVALID_REFERENCE) << row.name;
        EXPECT_EQ(clSerialRead(row.ref, b, &n, 0), CL_ERR_INVALID_REFERENCE) << row.name;
        n = sizeof b;
        EXPECT_EQ(clSerialWrite(row.ref, b, &n, 0), CL_ERR_INVALID_REFERENCE) << row.name;
        EXPECT_EQ(clSerialClose(row.ref), CL_ERR_INVALID_REFERENCE) << row.name;
    }
}

TEST_F(SimDll, ReceiveLogHoldsExactlyWhatReachedTheCamera)
{
    std::string log = track(tempPath("rx.log"));
    useConfig("echo = yes\nshort_write_every = 2\nshort_write_bytes = 3\nreceive_log = " + log + "\n");
    void* ref = open();
    struct Row {
        std::string bytes;
        uint32_t written;
    };
    const Row rows[] = {{"0123456789", 10}, {"abcdefghij", 3}, {std::string("\0\r\n", 3), 3}, {"XYZXYZ", 3}};
    std::string accepted;
    for (const Row& row : rows) {
        uint32_t written = 0;
        EXPECT_EQ(writeBytes(ref, row.bytes, &written), CL_ERR_NO_ERR) << "a short write is no failure";
        EXPECT_EQ(written, row.written);
        accepted += row.bytes.substr(0, written);
    }
    EXPECT_EQ(fileText(log), accepted);
    EXPECT_EQ(readAll(ref, accepted.size()), accepted);
}

TEST_F(SimDll, OverflowLogHoldsTheCountOfDroppedBytes)
{
    std::string log = track(tempPath("overflow.txt"));
    useConfig("receive_buffer = 100\ndump dump = 16\noverflow_log = " + log + "\n");
    void* ref = open();
    EXPECT_EQ(fileText(log), "0") << "written at the open";
    ASSERT_EQ(writeBytes(ref, "dump 1000\r"), CL_ERR_NO_ERR);
    EXPECT_EQ(fileText(log), "900") << "an unpaced answer arrives at once";
    std::string first100(100, '\0');
    for (int k = 0; k < 100; ++k)
        first100[k] = static_cast<char>(k);
    EXPECT_EQ(readOnce(ref, 1000, 0).bytes, first100) << "the buffer holds the oldest bytes";
    ASSERT_EQ(writeBytes(ref, "dump 50\rdump 1000\r"), CL_ERR_NO_ERR);
    EXPECT_EQ(fileText(log), "1850") << "the first answer fits, the second's excess is added";
    close(ref);
    ref = open();
    EXPECT_EQ(fileText(log), "0") << "counted afresh from each open";
}

TEST_F(SimDll, ShortWriteOfHalfWhenNoSizeIsGiven)
{
    useConfig("short_write_every = 1\n");
    void* ref = open();
    uint32_t written = 0;
    EXPECT_EQ(writeBytes(ref, "0123456789", &written), CL_ERR_NO_ERR);
    EXPECT_EQ(written, 5u);
}

TEST_F(SimDll, EveryNthReadFailsWithTheConfiguredCode)
{
    useConfig("echo = yes\nread_error_every = 3\nread_error_code = -10099\n");
    void* ref = open();
    ASSERT_EQ(writeBytes(ref, "abcdef"), CL_ERR_NO_ERR);
    std::vector<std::pair<int32_t, std::string>> reads;
    for (int i = 0; i < 6; ++i) {
        ReadResult r = readOnce(ref, 1, 0);
        reads.emplace_back(r.status, r.bytes);
    }
    std::vector<std::pair<int32_t, std::string>> expected = {
        {0, "a"}, {0, "b"}, {-10099, ""}, {0, "c"}, {0, "d"}, {-10099, ""}};
    EXPECT_EQ(reads, expected) << "a failed read takes nothing from the queue";

    close(ref);
    ref = open();
    EXPECT_EQ(readOnce(ref, 1, 0).status, CL_ERR_TIMEOUT) << "counting starts again at each open";
}

TEST_F(SimDll, EveryNthWriteFailsAndNothingReachesTheCamera)
{
    std::string log = track(tempPath("rx.log"));
    useConfig("write_error_every = 2\nwrite_error_code = -10077\nreceive_log = " + log + "\n");
    void* ref = open();
    uint32_t written = 99;
    EXPECT_EQ(writeBytes(ref, "one", &written), CL_ERR_NO_ERR);
    EXPECT_EQ(writeBytes(ref, "two", &written), -10077);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(writeBytes(ref, "three", &written), CL_ERR_NO_ERR);
    EXPECT_EQ(fileText(log), "onethree");
}

TEST_F(SimDll, StalledWriteWaitsForItsTimeOut)
{
    useConfig("write_error_every = 1\nwrite_error_code = -10004\n");
    void* ref = open();
    uint32_t written = 99;
    Clock::time_point start = Clock::now();
    EXPECT_EQ(writeBytes(ref, "abc", &written, 300), CL_ERR_TIMEOUT);
    long long took = msSince(start);
    EXPECT_EQ(written, 0u);
    EXPECT_GE(took, 250);
    EXPECT_LT(took, 3000);
}

TEST_F(SimDll, ValuesSurviveAReopenWithTheSameConfiguration)
{
    useConfig(kCamera);
    void* ref = open();
    ASSERT_EQ(writeBytes(ref, "exp 42\rid?"), CL_ERR_NO_ERR);
    EXPECT_EQ(readAll(ref, 4), "OK\r\n");
    close(ref);
    ref = open();
    ASSERT_EQ(writeBytes(ref, "?\rexp?\r"), CL_ERR_NO_ERR);
    EXPECT_EQ(readAll(ref, 9), "ERR\r\n42\r\n") << "a reopened line starts empty, the camera keeps its values";
}

// Started as a second process by the test below: holds port 0 until it is ended.
TEST_F(SimDll, DISABLED_HoldPortZeroForAnotherProcess)
{
    char signal[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA(kHoldVariable, signal, MAX_PATH), 0u);
    void* ref = nullptr;
    ASSERT_EQ(clSerialInit(0, &ref), CL_ERR_NO_ERR);
    std::ofstream(signal) << "held";
    Sleep(60000);
}

TEST_F(SimDll, PortHeldByAnotherProcessIsInUseUntilThatProcessEnds)
{
    useConfig(kCamera);
    std::string held = track(tempPath("held"));
    SetEnvironmentVariableA(kHoldVariable, held.c_str());

    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string commandLine = std::string("\"") + exe
        + "\" --gtest_also_run_disabled_tests --gtest_filter=SimDll.DISABLED_HoldPortZeroForAnotherProcess";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    clser::UniqueHandle process(pi.hProcess);
    clser::UniqueHandle thread(pi.hThread);
    SetEnvironmentVariableA(kHoldVariable, nullptr);

    bool holding = waitForFile(held, 30000);
    void* ref = nullptr;
    int32_t whileHeld = clSerialInit(0, &ref);
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
    ASSERT_TRUE(holding) << "the second process did not open the port";
    EXPECT_EQ(whileHeld, CL_ERR_PORT_IN_USE);

    void* again = open(0);
    EXPECT_NE(again, nullptr) << "the port is free once the holder has ended";
}
