#include "pty_rig.h"
#include "unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using clser::UniqueFile;
using clser::testbed::runPtyPairCommand;
using clser::testbed::ScopedPtyPair;
using Clock = std::chrono::steady_clock;

namespace {

UniqueFile openSerial(const std::string& name)
{
    std::string path = "\\\\.\\" + name;
    UniqueFile f(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (f) {
        COMMTIMEOUTS t{};
        t.ReadTotalTimeoutConstant = 200;
        t.WriteTotalTimeoutConstant = 200;
        SetCommTimeouts(f.get(), &t);
    }
    return f;
}

std::vector<std::string> dosDeviceNames()
{
    std::vector<char> buf(1 << 16);
    DWORD n = QueryDosDeviceA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    std::vector<std::string> names;
    for (DWORD i = 0; i < n && buf[i];) {
        std::string s(&buf[i]);
        i += static_cast<DWORD>(s.size()) + 1;
        names.push_back(s);
    }
    return names;
}

bool listed(const std::string& name)
{
    for (const auto& n : dosDeviceNames())
        if (n == name)
            return true;
    return false;
}

std::string readAll(HANDLE h, size_t want)
{
    std::string got;
    for (int i = 0; i < 20 && got.size() < want; ++i) {
        char b[256];
        DWORD n = 0;
        if (!ReadFile(h, b, sizeof b, &n, nullptr))
            break;
        got.append(b, n);
    }
    return got;
}

// Byte i of a stream is i % 251: a lost, repeated or reordered byte shows.
std::string numbered(size_t from, size_t count)
{
    std::string s(count, '\0');
    for (size_t i = 0; i < count; ++i)
        s[i] = static_cast<char>((from + i) % 251);
    return s;
}

// Writes numbered blocks until one write, within its time-out, writes nothing or part of
// its block. Gives the bytes written, or 0 when 16 MB never backed up.
size_t writeUntilHeldBack(HANDLE h)
{
    const size_t block = 4096;
    size_t total = 0;
    while (total < (16u << 20)) {
        const std::string data = numbered(total, block);
        DWORD n = 0;
        WriteFile(h, data.data(), static_cast<DWORD>(block), &n, nullptr);
        total += n;
        if (n < block)
            return total;
    }
    return 0;
}

} // namespace

TEST(PtyRig, PairEndsAreOpenableListedAndLinked)
{
    ScopedPtyPair pair("COM91", "TARVCOM91");
    ASSERT_TRUE(pair.ok()) << pair.error();
    EXPECT_TRUE(listed("COM91"));
    EXPECT_TRUE(listed("TARVCOM91"));

    UniqueFile a = openSerial("COM91");
    UniqueFile b = openSerial("TARVCOM91");
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(a.get(), "ping\r", 5, &n, nullptr));
    EXPECT_EQ(readAll(b.get(), 5), "ping\r");
    ASSERT_TRUE(WriteFile(b.get(), "pong\r", 5, &n, nullptr));
    EXPECT_EQ(readAll(a.get(), 5), "pong\r");
}

TEST(PtyRig, EndSurvivesCloseAndReopen)
{
    ScopedPtyPair pair("COM92", "TARVCOM92");
    ASSERT_TRUE(pair.ok()) << pair.error();
    UniqueFile b = openSerial("TARVCOM92");
    for (int round = 0; round < 3; ++round) {
        UniqueFile a = openSerial("COM92");
        ASSERT_TRUE(a) << "round " << round;
        DWORD n = 0;
        std::string msg = "round" + std::to_string(round);
        ASSERT_TRUE(WriteFile(a.get(), msg.data(), static_cast<DWORD>(msg.size()), &n, nullptr));
        EXPECT_EQ(readAll(b.get(), msg.size()), msg);
    }
}

TEST(PtyRig, DestroyedPairIsGone)
{
    {
        ScopedPtyPair pair("COM93", "TARVCOM93");
        ASSERT_TRUE(pair.ok()) << pair.error();
    }
    EXPECT_FALSE(listed("COM93"));
    EXPECT_FALSE(openSerial("COM93"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// Each direction flows on its own, as in a kernel null-modem pair: when end "held" takes no
// bytes (its reader stops, or the rig stalls deliveries to it), the writer at "writer" is
// held back once the queues fill, while bytes written at "held" still reach "writer" at
// once. Once "held" takes bytes again, every byte reported as written arrives, in order.
TEST(PtyRig, DirectionThatBacksUpHoldsBackOnlyItsWriterAndLosesNothing)
{
    struct Row {
        const char* what;
        const char* writer;
        const char* held;
        bool stalled;  // the rig stops deliveries to "held"; otherwise its reader just stops
    };
    const Row rows[] = {
        {"reader of TARVCOM94 stops reading", "COM94", "TARVCOM94", false},
        {"deliveries to TARVCOM94 stalled", "COM94", "TARVCOM94", true},
        {"deliveries to COM94 stalled (the first name)", "TARVCOM94", "COM94", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScopedPtyPair pair("COM94", "TARVCOM94");
        ASSERT_TRUE(pair.ok()) << pair.error();
        UniqueFile writer = openSerial(row.writer);
        UniqueFile held = openSerial(row.held);
        ASSERT_TRUE(writer && held);
        if (row.stalled) {
            ASSERT_TRUE(runPtyPairCommand("stall", row.held));
        }

        const size_t written = writeUntilHeldBack(writer.get());
        ASSERT_GT(written, 0u) << "16 MB went through without the writer being held back";
        std::printf("[observed] %s: held back after %zu bytes\n", row.what, written);
        const auto sentAt = Clock::now();
        DWORD n = 0;
        ASSERT_TRUE(WriteFile(held.get(), "back\r", 5, &n, nullptr));
        EXPECT_EQ(readAll(writer.get(), 5), "back\r") << "the other direction stood still";
        EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sentAt).count(), 3000);

        if (row.stalled) {
            char b[256];
            ASSERT_TRUE(ReadFile(held.get(), b, sizeof b, &n, nullptr));
            EXPECT_EQ(n, 0u) << "a byte reached the stalled end within one read time-out";
            ASSERT_TRUE(runPtyPairCommand("resume", row.held));
        }
        std::string got;
        for (auto until = Clock::now() + std::chrono::seconds(30); got.size() < written && Clock::now() < until;) {
            std::vector<char> b(1 << 16);
            ReadFile(held.get(), b.data(), static_cast<DWORD>(b.size()), &n, nullptr);
            got.append(b.data(), n);
        }
        EXPECT_EQ(got.size(), written);
        EXPECT_TRUE(got == numbered(0, written)) << "bytes lost, repeated or out of order";
    }
}
