// The list file that setupc writes, in shapes a user's machine can produce, read by the
// pair library through its exports: no crash, no overrun of the caller's 20-byte
// buffers, no hang, and either the pairs or a clear error.
#include "outcome_row.h"
#include "pair_library_fixture.h"
#include "unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace clser::test;
using clser::reliability::cellText;
using clser::reliability::printOutcomeRow;

namespace {

const std::string kInvalidNaming = "Error: Invalid naming of virtual COM port pair.\n";

std::string pairLines(const std::string& number, const std::string& portA, const std::string& portB)
{
    return "       CNCA" + number + " PortName=" + portA + "\n       CNCB" + number + " PortName=" + portB + "\n";
}

std::string hundredPairs()
{
    std::string text;
    for (int k = 0; k < 100; ++k)
        text += pairLines(std::to_string(k), "COM" + std::to_string(100 + k), "TARVCOM" + std::to_string(100 + k));
    return text;
}

// One megabyte of bytes that look like nothing setupc writes; the same bytes every run.
std::string junk()
{
    std::string text(1 << 20, '\0');
    unsigned state = 12345;
    for (char& c : text) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    text[0] = 'J'; // a first line that is not empty
    return text;
}

struct GuardedText {
    char text[20];
    char guard[12];
};

// Every pair as TarvVComGetOneCOMPair hands it over, with the bytes behind each
// 20-byte buffer watched; overrun is set when any of them changed.
struct Fetched {
    std::vector<std::string> rows; // "id port partner"
    bool overrun = false;
    bool unterminated = false;
};

Fetched fetchAll()
{
    Fetched f;
    const int count = TarvVComGetCOMPairCount();
    for (int i = 0; i < count; ++i) {
        GuardedText id{}, port{}, partner{};
        for (auto* g : {&id, &port, &partner})
            std::memset(g->guard, 0x5A, sizeof g->guard);
        if (!TarvVComGetOneCOMPair(i, id.text, port.text, partner.text))
            continue;
        for (auto* g : {&id, &port, &partner}) {
            f.overrun = f.overrun || std::count(g->guard, g->guard + sizeof g->guard, 0x5A) != sizeof g->guard;
            f.unterminated = f.unterminated || g->text[19] != '\0';
        }
        f.rows.push_back(std::string(id.text) + " " + port.text + " " + partner.text);
    }
    return f;
}

struct ListFileCase {
    const char* input;
    std::string fileText;
    int initResult;
    std::string error;               // after a failed init
    std::vector<std::string> pairs;  // "id port partner"; checked when not empty
    std::size_t count;
    const char* expected;
};

const std::string kName40(40, 'N');

std::vector<ListFileCase> cases()
{
    const std::string one = pairLines("0", "COM5", "TARVCOM5");
    return {
        {"empty file", "", 1, "", {}, 0, "init 1, no pair"},
        {"1 MB of binary junk", junk(), 0, kInvalidNaming, {}, 0, "init 0, \"Invalid naming\" text"},
        {"truncated in the first line of a pair", one + "       CNCA1 PortN", 1, "", {"CNC0 COM5 TARVCOM5"}, 1,
         "init 1, the complete pair only"},
        {"truncated in the second line of a pair", one + "       CNCA1 PortName=COM6\n       CNCB1 Port", 1, "",
         {"CNC0 COM5 TARVCOM5", "CNC1 COM6 CNCB1 Port"}, 2,
         "init 1, the cut line taken whole as the name (a line without '=')"},
        {"truncated in the second line, too short", one + "       CNCA1 PortName=COM6\n       CNC", 0,
         kInvalidNaming, {}, 0, "init 0, \"Invalid naming\" text"},
        {"100 pairs (CNC0 ... CNC99)", hundredPairs(), 1, "", {}, 100, "init 1, 100 pairs, CNC10 ... CNC99 whole"},
        {"names of 40 characters", pairLines("0", kName40, "TARV" + kName40), 1, "",
         {"CNC0 " + kName40.substr(0, 19) + " TARV" + kName40.substr(0, 15)}, 1,
         "init 1, names cut to 19 characters, buffers not overrun"},
        {"pair numbers of two and three digits", pairLines("12", "COM7", "TARVCOM7") + pairLines("345", "COM8", "TARVCOM8"),
         1, "", {"CNC12 COM7 TARVCOM7", "CNC345 COM8 TARVCOM8"}, 2, "init 1, ids CNC12 and CNC345"},
        {"pair number of 30 digits", pairLines(std::string(30, '7'), "COM9", "TARVCOM9"), 1, "",
         {"CNC" + std::string(16, '7') + " COM9 TARVCOM9"}, 1, "init 1, id cut to 19 characters"},
    };
}

class PairListFileTest : public PairLibraryTest {};

TEST_F(PairListFileTest, EveryShapeOfListFileEndsInPairsOrAClearError)
{
    for (const auto& c : cases()) {
        SCOPED_TRACE(c.input);
        listWrites(c.fileText);
        TarvVComClose();
        const DWORD start = GetTickCount();
        const int result = TarvVComInit();
        const DWORD took = GetTickCount() - start;
        EXPECT_LT(took, 20000u) << "no hang";
        std::string observed = "init " + std::to_string(result);
        if (result == 0) {
            observed += ", \"" + cellText(lastError()) + "\"";
            EXPECT_EQ(lastError(), c.error);
        }
        EXPECT_EQ(result, c.initResult);
        const Fetched fetched = fetchAll();
        EXPECT_FALSE(fetched.overrun);
        EXPECT_FALSE(fetched.unterminated);
        if (result == 1) {
            EXPECT_EQ(fetched.rows.size(), c.count);
            if (!c.pairs.empty()) {
                EXPECT_EQ(fetched.rows, c.pairs);
            }
            observed += ", " + std::to_string(fetched.rows.size()) + " pairs";
            if (!fetched.rows.empty())
                observed += " (" + cellText(fetched.rows.front(), 60) + (fetched.rows.size() > 1 ? " ... " + cellText(fetched.rows.back(), 60) : "") + ")";
        }
        observed += fetched.overrun ? ", BUFFER OVERRUN" : ", buffers intact";
        observed += ", " + std::to_string(took) + " ms";
        printOutcomeRow("list file", c.input, c.expected, observed);
    }
}

// Bridges started together each list the pairs through the same file in TEMP; every
// one of them must see the installed pair.
TEST_F(PairListFileTest, ProgramsListingAtTheSameTimeAllSeeThePairs)
{
    const int number = freePortNumber(30);
    ASSERT_EQ(runEmulator("--silent install PortName=COM" + std::to_string(number) + " PortName=TARVCOM" +
                          std::to_string(number)),
              0);
    constexpr int kPrograms = 10;
    std::vector<clser::UniqueHandle> processes;
    std::vector<std::string> outputs;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    for (int i = 0; i < kPrograms; ++i) {
        outputs.push_back(runDirectory("vcom") + "\\together-" + std::to_string(i) + ".txt");
        clser::UniqueFile out(CreateFileA(outputs.back().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                          CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(out.valid());
        ProgramStart probe = vcomProbe("init count");
        probe.output = probe.errors = out.get();
        processes.push_back(startProgram(probe));
        ASSERT_TRUE(processes.back());
    }
    int sawThePair = 0;
    for (int i = 0; i < kPrograms; ++i) {
        EXPECT_EQ(WaitForSingleObject(processes[i].get(), 90000), WAIT_OBJECT_0);
        const std::string out = readTextFile(outputs[i]);
        EXPECT_NE(out.find("init=1"), std::string::npos) << out;
        if (out.find("count=1") != std::string::npos)
            ++sawThePair;
    }
    EXPECT_EQ(sawThePair, kPrograms);
    printOutcomeRow("list file", std::to_string(kPrograms) + " programs listing at the same time",
                    "each one lists the installed pair",
                    std::to_string(sawThePair) + " of " + std::to_string(kPrograms) + " list it");
}

} // namespace
