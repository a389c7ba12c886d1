#include "connection_config.h"
#include "dunmere_config.h"
#include "profile_file.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using clser::LineSettings;
using clser::Parity;
using clser::StopBits;
using clser::writeBackSettings;

namespace {

class WriteBackSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        path_ = std::string(dir) + "writeback_" + std::to_string(GetCurrentProcessId()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        DeleteFileA(path_.c_str());
    }
    void TearDown() override { DeleteFileA(path_.c_str()); }

    void write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string content()
    {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string value(int section, const char* key)
    {
        char buf[64] = {};
        GetPrivateProfileStringA(clser::profile::sectionName(section).c_str(), key, "<none>", buf, sizeof buf,
                                 path_.c_str());
        return buf;
    }

    std::string path_;
};

const char kTwoConnections[] =
    "[connection1]\r\ncom=COM5\r\nclser=0\r\nbaudrate=9600\r\nparity=n\r\ndatabit=8\r\nstopbit=1\r\nrun=1\r\n"
    "connect=1\r\n"
    "[connection2]\r\ncom=COM6\r\nclser=1\r\nbaudrate=9600\r\nparity=n\r\ndatabit=8\r\nstopbit=1\r\nrun=1\r\n"
    "connect=1\r\n";

TEST_F(WriteBackSettings, WritesTheFourLineKeysIntoTheMatchingSectionOnly)
{
    write(kTwoConnections);
    EXPECT_EQ(writeBackSettings(path_, "COM6", 1, 2, LineSettings{115200, Parity::even, 7, StopBits::two}), 2);
    EXPECT_EQ(value(2, "baudrate"), "115200");
    EXPECT_EQ(value(2, "parity"), "e");
    EXPECT_EQ(value(2, "databit"), "7");
    EXPECT_EQ(value(2, "stopbit"), "2");
    EXPECT_EQ(value(2, "com"), "COM6");
    EXPECT_EQ(value(2, "clser"), "1");
    EXPECT_EQ(value(2, "run"), "1");
    EXPECT_EQ(value(2, "connect"), "1");
    EXPECT_EQ(value(1, "baudrate"), "9600");
    EXPECT_EQ(value(1, "parity"), "n");
}

TEST_F(WriteBackSettings, ParityAndStopBitLabels)
{
    write(kTwoConnections);
    EXPECT_EQ(writeBackSettings(path_, "COM5", 0, 2, LineSettings{921600, Parity::odd, 5, StopBits::onePointFive}), 1);
    EXPECT_EQ(value(1, "baudrate"), "921600");
    EXPECT_EQ(value(1, "parity"), "o");
    EXPECT_EQ(value(1, "databit"), "5");
    EXPECT_EQ(value(1, "stopbit"), "1.5");
}

TEST_F(WriteBackSettings, LowerCaseComMatchesDigitsOnlyDoesNot)
{
    write("[connection1]\r\ncom=5\r\nclser=0\r\n[connection2]\r\ncom=com5\r\nclser=0\r\n");
    EXPECT_EQ(writeBackSettings(path_, "COM5", 0, 2, LineSettings{19200, Parity::none, 8, StopBits::one}), 2);
    EXPECT_EQ(value(1, "baudrate"), "<none>");
    EXPECT_EQ(value(2, "baudrate"), "19200");
}

TEST_F(WriteBackSettings, FirstOfTwoEqualSectionsIsUpdated)
{
    write("[connection1]\r\ncom=COM5\r\nclser=0\r\n[connection2]\r\ncom=COM5\r\nclser=0\r\n");
    EXPECT_EQ(writeBackSettings(path_, "COM5", 0, 2, LineSettings{38400, Parity::none, 8, StopBits::one}), 1);
    EXPECT_EQ(value(1, "baudrate"), "38400");
    EXPECT_EQ(value(2, "baudrate"), "<none>");
}

TEST_F(WriteBackSettings, NoMatchWritesNothingAtAll)
{
    // A missing "clser" reads as -1 and matches no port index; sections beyond the
    // number of Camera Link ports are not looked at; no ports means no search.
    write("[connection1]\r\ncom=COM5\r\n[connection2]\r\ncom=COM6\r\nclser=1\r\n[connection3]\r\ncom=COM7\r\n"
          "clser=2\r\n");
    const std::string before = content();
    EXPECT_EQ(writeBackSettings(path_, "COM5", 0, 3, LineSettings{115200, Parity::even, 7, StopBits::two}), 0);
    EXPECT_EQ(writeBackSettings(path_, "COM7", 2, 2, LineSettings{115200, Parity::even, 7, StopBits::two}), 0);
    EXPECT_EQ(writeBackSettings(path_, "COM6", 1, 0, LineSettings{115200, Parity::even, 7, StopBits::two}), 0);
    EXPECT_EQ(writeBackSettings(path_, "COM9", 5, 3, LineSettings{115200, Parity::even, 7, StopBits::two}), 0);
    EXPECT_EQ(content(), before);
}

TEST_F(WriteBackSettings, MissingFileStaysMissing)
{
    EXPECT_EQ(writeBackSettings(path_, "COM5", 0, 2, LineSettings{}), 0);
    EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WriteBackSettings, OverlongComValueIsCutToSevenCharacters)
{
    // "COM12345" is read as "COM1234": it never matches COM12345, and never overruns.
    write("[connection1]\r\ncom=COM12345\r\nclser=0\r\n[connection2]\r\ncom=COM1234\r\nclser=0\r\n");
    EXPECT_EQ(writeBackSettings(path_, "COM12345", 0, 2, LineSettings{}), 0);
    EXPECT_EQ(writeBackSettings(path_, "COM1234", 0, 2, LineSettings{57600, Parity::none, 8, StopBits::one}), 1);
    EXPECT_EQ(value(1, "baudrate"), "57600");
}

// The transfer mode goes back with the line settings, but a section that never had the
// key gets none while the mode stays off, so a default file keeps its exact text.
TEST_F(WriteBackSettings, LowLatencyKeyWrittenWhenOnOrAlreadyThere)
{
    const struct {
        const char* name;
        const char* keyLine; // the section's "lowlatency" line before, empty for none
        bool lowLatency;
        const char* after;   // the value read back, "<none>" when the key is absent
    } rows[] = {
        {"off, no key: no key written", "", false, "<none>"},
        {"on, no key: 1 written", "", true, "1"},
        {"off over 1: 0 written", "lowlatency=1\r\n", false, "0"},
        {"on over 0: 1 written", "lowlatency=0\r\n", true, "1"},
        {"off over an unrecognised value: 0 written", "lowlatency=yes\r\n", false, "0"},
        {"on over 1 stays 1", "lowlatency=1\r\n", true, "1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        write(std::string("[connection1]\r\ncom=COM5\r\nclser=0\r\n[connection2]\r\ncom=COM6\r\nclser=1\r\n") +
              row.keyLine);
        EXPECT_EQ(writeBackSettings(path_, "COM6", 1, 2, LineSettings{}, row.lowLatency), 2);
        EXPECT_EQ(value(2, "lowlatency"), row.after);
        EXPECT_EQ(value(2, "stopbit"), "1") << "with the line settings";
        EXPECT_EQ(value(1, "lowlatency"), "<none>") << "another connection's section is untouched";
    }
}

TEST_F(WriteBackSettings, DefaultSectionKeepsItsExactTextWhenTheModeStaysOff)
{
    write(kTwoConnections);
    const std::string before = content();
    EXPECT_EQ(writeBackSettings(path_, "COM5", 0, 2, LineSettings{}, false), 1);
    EXPECT_EQ(content(), before);
    EXPECT_EQ(writeBackSettings(path_, "COM9", 0, 2, LineSettings{}, true), 0);
    EXPECT_EQ(content(), before) << "no matching section: the mode is written nowhere";
}

// The section is the previous port's in its library too: the same index of another
// library is another connection; this system's own goes by an empty value or its name.
TEST_F(WriteBackSettings, TheSectionOfThePreviousPortsLibraryIsWritten)
{
    const struct {
        const char* previousLibrary;
        int section;
    } rows[] = {{"clserlrk.dll", 1}, {"ClSerLrk.DLL", 1}, {"", 2}, {"clserbvk.dll", 2}, {"clserprb.dll", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.previousLibrary);
        write("[connection1]\r\ncom=COM5\r\nclser=0\r\ncllibrary=clserlrk.dll\r\n[connection2]\r\ncom=COM5\r\n"
              "clser=0\r\ncllibrary=CLSERBVK.DLL\r\n[connection3]\r\ncom=COM5\r\nclser=0\r\n");
        EXPECT_EQ(writeBackSettings(path_, "COM5", 0, 3, LineSettings{19200}, false, row.previousLibrary), row.section);
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(value(k, "baudrate"), k == row.section ? "19200" : "<none>") << k;
        EXPECT_EQ(value(1, "cllibrary"), "clserlrk.dll");
        EXPECT_EQ(value(2, "cllibrary"), "CLSERBVK.DLL") << "each keeps its library";
    }
}

using ProfileFileRead = WriteBackSettings;

// The network values are longer than the common reader's 7 characters (an allow list).
TEST_F(ProfileFileRead, NetworkValuesLongerThanTheCommonReaderTakes)
{
    std::string allow;
    for (int i = 1; i <= 16; ++i)
        allow += "192.168.100." + std::to_string(100 + i) + (i < 16 ? ", " : "");
    write("[connection1]\r\ncom=5\r\nnetport=40001\r\nnetaddress=0.0.0.0\r\nnetprotocol=raw\r\nnettakeover=1\r\n"
          "netallow=" + allow + "\r\n[connection2]\r\ncom=6\r\n"
          "[connection3]\r\nnetport=40003\r\nnetallow=" + std::string(600, '1') + "\r\n");
    const clser::profile::ProfileRead first = clser::profile::readProfile(path_, 1, "C:\\bin");
    ASSERT_TRUE(first.profile.network) << ::testing::PrintToString(first.warnings);
    EXPECT_EQ(first.profile.network->port, 40001);
    EXPECT_EQ(first.profile.network->listenAddress, clser::network::kAnyAddress);
    EXPECT_EQ(first.profile.network->protocol, clser::network::NetProtocol::Raw);
    EXPECT_TRUE(first.profile.network->takeover);
    ASSERT_EQ(first.profile.network->allowed.size(), 16u);
    EXPECT_EQ(clser::network::ipv4AddressText(first.profile.network->allowed[15]), "192.168.100.116");

    const clser::profile::ProfileRead second = clser::profile::readProfile(path_, 2, "C:\\bin");
    EXPECT_FALSE(second.profile.network);
    EXPECT_TRUE(second.warnings.empty()) << "a section without network keys is a COM port pair's";

    EXPECT_EQ(clser::profile::readProfile(path_, 3, "C:\\bin").warnings,
              std::vector<std::string>{"The network settings in section connection3 are invalid, the connection "
                                       "starts without network access: netallow: the value is too long"});
}

TEST(ConfigPath, BesideTheProgram)
{
    EXPECT_EQ(clser::config::configPathBeside("C:\\Prog\\bin\\ClserDunmere2.exe"),
              "C:\\Prog\\bin\\DunmereConfig.ini");
    EXPECT_EQ(clser::config::configPathBeside("ClserDunmere2.exe"), "\\DunmereConfig.ini");
    EXPECT_EQ(clser::profile::sectionName(12), "connection12");
}

} // namespace
