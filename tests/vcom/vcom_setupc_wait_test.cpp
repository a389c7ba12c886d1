// setupc runs that never end: the library gives up after its 30-second wait. Each
// test takes half a minute, so they live in a program of their own.
#include "pair_library_fixture.h"

#include <windows.h>

using namespace clser::test;

namespace {

// The emulator sleeps a little longer than the library waits, then ends by itself.
constexpr unsigned kHangMs = 33000;

TEST_F(PairLibraryTest, ListRunThatDoesNotEndInThirtySeconds)
{
    configureEmulator("list_hang_ms = " + std::to_string(kHangMs) + "\n");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(TarvVComInit(), 0);
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_EQ(lastError(), "Error: com0com client not found.\n");
    EXPECT_GE(waited, 29000u);
    EXPECT_LT(waited, kHangMs);
    EXPECT_EQ(TarvVComGetCOMPairCount(), 0);
    EXPECT_EQ(lastError(), "Error: Modul is not succesfully initialized\n");
}

TEST_F(PairLibraryTest, InstallRunThatDoesNotEndInThirtySeconds)
{
    ASSERT_EQ(TarvVComInit(), 1);
    configureEmulator("install_hang_ms = " + std::to_string(kHangMs) + "\n");
    const int number = freePortNumber(20);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(TarvVComInstall(number), 0);
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_EQ(lastError(), "Error Install: Install failed.\n");
    EXPECT_GE(waited, 29000u);
    EXPECT_LT(waited, kHangMs);
    EXPECT_FALSE(deviceListed("COM" + std::to_string(number)));
    // Let the hanging run end before the next test uses the emulator.
    Sleep(kHangMs - static_cast<DWORD>(waited) + 500);
    EXPECT_TRUE(emulatedPairs().empty());
}

} // namespace
