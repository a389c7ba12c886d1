// The library's interface before it has found setupc: the exports at their ordinals,
// the state checks and their texts, and TarvVComInit without any com0com. The tests run
// in this order in one process; the first one sees the library as loaded.
#include "TarvVirtualComPort.h"
#include "vcom_test_env.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

using clser::test::lastError;

namespace {

const char* const kExportNames[] = {"TarvVComInit",          "TarvVComInstallAll",          "TarvVComGetCOMPairCount",
                                    "TarvVComGetOneCOMPair", "TarvVComGetErrorDescription", "TarvVComInstall",
                                    "TarvVComRemove",        "TarvVComCheckPortUse",        "TarvVComClose"};

template <typename F>
const void* addressOf(F* function)
{
    return reinterpret_cast<const void*>(function);
}

TEST(LoadedLibrary, HasNoErrorTextYet)
{
    EXPECT_EQ(TarvVComGetErrorDescription(nullptr), -1);
    char buffer[8] = {'X'};
    EXPECT_EQ(TarvVComGetErrorDescription(buffer), -1);
    EXPECT_EQ(buffer[0], 'X');
}

TEST(Exports, EachFunctionAtItsFixedOrdinal)
{
    HMODULE library = GetModuleHandleA("TarvVirtualComPort.dll");
    ASSERT_NE(library, nullptr);
    const void* const imported[] = {addressOf(&TarvVComInit),          addressOf(&TarvVComInstallAll),
                                    addressOf(&TarvVComGetCOMPairCount), addressOf(&TarvVComGetOneCOMPair),
                                    addressOf(&TarvVComGetErrorDescription), addressOf(&TarvVComInstall),
                                    addressOf(&TarvVComRemove),        addressOf(&TarvVComCheckPortUse),
                                    addressOf(&TarvVComClose)};
    for (int ordinal = 1; ordinal <= 9; ++ordinal) {
        const void* byOrdinal = addressOf(GetProcAddress(library, MAKEINTRESOURCEA(ordinal)));
        ASSERT_NE(byOrdinal, nullptr) << "ordinal " << ordinal;
        EXPECT_EQ(byOrdinal, addressOf(GetProcAddress(library, kExportNames[ordinal - 1])))
            << kExportNames[ordinal - 1];
        EXPECT_EQ(byOrdinal, imported[ordinal - 1]) << "this program's binding of " << kExportNames[ordinal - 1];
    }
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(10)), nullptr);
}

// Every export that checks the module's state, with the text it leaves.
struct GuardedCall {
    const char* name;
    int (*call)();
    int failure;
    const char* noModule;
    const char* notInitialised;
};

char pairBuffers[3][20];

const GuardedCall kGuardedCalls[] = {
    {"TarvVComGetCOMPairCount", [] { return TarvVComGetCOMPairCount(); }, 0, "Error: Modul is not initialized\n",
     "Error: Modul is not succesfully initialized\n"},
    {"TarvVComInstall", [] { return TarvVComInstall(12); }, 0, "Error: Modul is not initialized\n",
     "Error: Modul is not succesfully initialized\n"},
    {"TarvVComInstallAll", [] { return TarvVComInstallAll(); }, 0, "Error: Modul is not initialized\n",
     "Error: Modul is not succesfully initialized\n"},
    {"TarvVComGetOneCOMPair", [] { return TarvVComGetOneCOMPair(0, pairBuffers[0], pairBuffers[1], pairBuffers[2]); },
     0, "Error: Modul is not initialized.\n", "Error: Modul is not succesfully initialized.\n"},
    {"TarvVComCheckPortUse", [] { return TarvVComCheckPortUse(5); }, -1, "Error: Modul is not initialized.\n",
     "Error: Modul is not succesfully initialized.\n"},
    {"TarvVComRemove", [] { return TarvVComRemove("CNC0"); }, 0, "Error Remove: Modul not initialized.\n",
     "Error Remove: Modul not initialized.\n"},
};

TEST(BeforeInit, EveryCheckedExportFailsWithItsText)
{
    for (const auto& c : kGuardedCalls) {
        EXPECT_EQ(c.call(), c.failure) << c.name;
        EXPECT_EQ(lastError(), c.noModule) << c.name;
    }
}

TEST(ErrorDescription, SizeThenTextOfTheLastFailure)
{
    TarvVComGetCOMPairCount();
    const std::string expected = "Error: Modul is not initialized\n";
    EXPECT_EQ(TarvVComGetErrorDescription(nullptr), static_cast<int>(expected.size() + 1));
    char buffer[64];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(TarvVComGetErrorDescription(buffer), 0);
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(buffer[expected.size() + 1], 'X');
}

class WithoutCom0com : public testing::Test {
protected:
    void SetUp() override
    {
        clser::test::unsetEnv("TARVDIR5_32");
        clser::test::unsetEnv("TARVDIR5");
        TarvVComClose();
    }
    void TearDown() override { TarvVComClose(); }

    // Parent of this program's directory: where com0com was looked for first.
    static std::string parentOfProgramDirectory()
    {
        const std::string dir = clser::test::programDirectory();
        return dir.substr(0, dir.rfind('\\'));
    }
};

TEST_F(WithoutCom0com, InitFailsEveryTimeNamingTheProgramsParentDirectory)
{
    const std::string expected = "Not found com0com in \"$(TARVDIR5_32)\", \"$(TARVDIR5_64)\", \"$(TARVDIR5)\", or \"" +
                                 parentOfProgramDirectory() + "\\com0com\"\nPlease check the installation.\n";
    EXPECT_EQ(TarvVComInit(), 0);
    EXPECT_EQ(lastError(), expected);
    EXPECT_EQ(TarvVComInit(), 0);
    EXPECT_EQ(lastError(), expected);
}

TEST_F(WithoutCom0com, RootsWithoutSetupcAreNoCandidates)
{
    clser::test::setEnv("TARVDIR5", clser::test::runDirectory("vcom") + "\\no-such-root");
    clser::test::setEnv("TARVDIR5_32", clser::test::runDirectory("vcom"));
    EXPECT_EQ(TarvVComInit(), 0);
    EXPECT_EQ(lastError().rfind("Not found com0com in ", 0), 0u) << lastError();
}

TEST_F(WithoutCom0com, FailedInitLeavesTheModuleNotInitialised)
{
    ASSERT_EQ(TarvVComInit(), 0);
    for (const auto& c : kGuardedCalls) {
        EXPECT_EQ(c.call(), c.failure) << c.name;
        EXPECT_EQ(lastError(), c.notInitialised) << c.name;
    }
}

TEST_F(WithoutCom0com, CloseTwiceThenInitStartsAfresh)
{
    ASSERT_EQ(TarvVComInit(), 0);
    EXPECT_EQ(TarvVComClose(), 1);
    EXPECT_EQ(TarvVComClose(), 1);
    // The text of the last failure survives the close.
    EXPECT_EQ(lastError().rfind("Not found com0com in ", 0), 0u);
    EXPECT_EQ(TarvVComGetCOMPairCount(), 0);
    EXPECT_EQ(lastError(), "Error: Modul is not initialized\n");
}

} // namespace
