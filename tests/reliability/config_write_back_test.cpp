// The bridge program's one use of DunmereConfig.ini, the write-back of confirmed line
// settings in autorun mode, against files a user's machine can hold: the matching
// section gets the four line keys, every other byte of the file stays as it was, and a
// file without a match is not touched at all.
#include "connection_config.h"
#include "outcome_row.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

using clser::LineSettings;
using clser::Parity;
using clser::StopBits;
using clser::writeBackSettings;
using clser::reliability::printOutcomeRow;

namespace {

std::string tempPath()
{
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + "reliability-write-back-" + std::to_string(GetCurrentProcessId()) + ".ini";
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string value(const std::string& path, int section, const char* key)
{
    std::string text(8192, '\0');
    const DWORD n = GetPrivateProfileStringA(("connection" + std::to_string(section)).c_str(), key, "(none)",
                                             text.data(), static_cast<DWORD>(text.size()), path.c_str());
    text.resize(n);
    return text;
}

std::string junk()
{
    std::string bytes(4096, '\0');
    unsigned state = 4242;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return bytes;
}

struct WriteBackCase {
    const char* input;
    bool present;
    std::string file;
    int clPortNames;    // entries of the bridge's Camera Link port list
    int expectedSection; // 0: nothing may change
    const char* expected;
};

TEST(ConfigWriteBack, BadFilesGetTheLineKeysInTheMatchOrStayUntouched)
{
    const std::string path = tempPath();
    const std::string k4(4096, 'v');
    std::string thousand;
    for (int k = 1; k <= 1000; ++k)
        thousand += "[connection" + std::to_string(k) + "]\r\ncom=COM" + std::to_string(k == 3 ? 5 : 100 + k) +
                    "\r\nclser=0\r\n";
    const WriteBackCase cases[] = {
        {"missing", false, "", 2, 0, "nothing written, no file made"},
        {"empty", true, "", 2, 0, "no match, file unchanged"},
        {"4 KB of binary junk", true, junk(), 2, 0, "no match, file unchanged"},
        {"1000 sections, the match in section 3", true, thousand, 4, 3, "section 3 written, the rest unchanged"},
        {"1000 sections, the match beyond the port count", true, thousand, 2, 0,
         "sections above the port count not looked at: unchanged"},
        {"4 KB values", true, "[connection1]\r\ncom=COM5\r\nclser=0\r\nparity=" + k4 + "\r\nnote=" + k4 + "\r\n", 2, 1,
         "section 1 written, the 4 KB parity replaced, the other key kept"},
        {"com of 7 letters (COMABCD)", true, "[connection1]\r\ncom=COMABCD\r\nclser=0\r\n", 2, 0,
         "no match for COM5, file unchanged"},
        {"clser = -3", true, "[connection1]\r\ncom=COM5\r\nclser=-3\r\n", 2, 0, "no match for index 0, file unchanged"},
        {"clser = 99", true, "[connection1]\r\ncom=COM5\r\nclser=99\r\n", 2, 0, "no match for index 0, file unchanged"},
        {"baudrate = fast", true, "[connection1]\r\ncom=COM5\r\nclser=0\r\nbaudrate=fast\r\n", 2, 1,
         "section 1 written, baudrate=115200 replaces the text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        DeleteFileA(path.c_str());
        if (c.present)
            writeAll(path, c.file);
        const int written = writeBackSettings(path, "COM5", 0, c.clPortNames, LineSettings{115200, Parity::even, 7, StopBits::two});
        EXPECT_EQ(written, c.expectedSection);
        std::string observed = "section " + std::to_string(written);
        if (c.expectedSection == 0) {
            EXPECT_EQ(exists(path), c.present);
            if (c.present) {
                EXPECT_EQ(readAll(path), c.file) << "untouched";
            }
            observed += c.present ? (readAll(path) == c.file ? ", file unchanged" : ", FILE CHANGED")
                                  : (exists(path) ? ", FILE MADE" : ", no file");
        } else {
            const int k = c.expectedSection;
            EXPECT_EQ(value(path, k, "baudrate"), "115200");
            EXPECT_EQ(value(path, k, "parity"), "e");
            EXPECT_EQ(value(path, k, "databit"), "7");
            EXPECT_EQ(value(path, k, "stopbit"), "2");
            EXPECT_EQ(value(path, k, "com"), "COM5");
            EXPECT_EQ(value(path, k, "clser"), "0");
            if (c.file.find("note=") != std::string::npos) {
                EXPECT_EQ(value(path, k, "note"), k4);
            }
            if (c.file == thousand) {
                EXPECT_EQ(value(path, 4, "baudrate"), "(none)");
                EXPECT_EQ(value(path, 1000, "com"), "COM1100");
            }
            observed += ": baudrate=" + value(path, k, "baudrate") + " parity=" + value(path, k, "parity") +
                        " databit=" + value(path, k, "databit") + " stopbit=" + value(path, k, "stopbit");
        }
        printOutcomeRow("DunmereConfig.ini write-back (bridge program)", c.input, c.expected, observed);
    }
    DeleteFileA(path.c_str());
}

} // namespace
