#include "pty_rig.h"
#include "unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using clser::UniqueFile;
using clser::testbed::ScopedPtyPair;

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
