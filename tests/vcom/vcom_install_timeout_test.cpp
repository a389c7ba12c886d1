// An installed pair whose ends never become openable: the library counts down the full
// five minutes (300 attempts) and fails without a new text. It takes five minutes, so it
// is built only with -DCLSER_LONG_TESTS=ON and is not part of the usual test run.
#include "pair_library_fixture.h"

#include <string>

using namespace clser::test;

namespace {

TEST_F(PairLibraryTest, EndsThatNeverAppearCountDownFiveMinutes)
{
    configureEmulator("ends = never\n");
    const int number = freePortNumber(20);
    const ProgramRun run = runProgram(vcomProbe("init check 0 install " + std::to_string(number) + " error"), 400000);
    ASSERT_EQ(run.status(), 0);
    std::string expected = "init=1\ncheck=-1\nInstalling virtual com port pair with portnameA = COM" +
                           std::to_string(number) + " portnameB = TARVCOM" + std::to_string(number) + "\n";
    for (int left = 300; left > 0; --left) {
        char shown[8];
        std::snprintf(shown, sizeof shown, "%02d:%02d", left / 60, left % 60);
        expected += std::string("\rWaiting for install, timeout up to 5 minutes: ") + shown;
    }
    // The install time-out sets no text: the port check's text is still there.
    expected += "\ninstall=0\nerror=[Error: COM port number should greater than 0.\n]\n";
    EXPECT_EQ(run.output, expected);
}

} // namespace
