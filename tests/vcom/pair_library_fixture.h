// A com0com root with the setupc emulator under TARVDIR5, a healthy emulator, two
// simulated Camera Link ports and no emulated pairs; whatever a test installs or
// registers is removed afterwards.
#pragma once

#include "TarvVirtualComPort.h"
#include "vcom_test_env.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct ListedPair {
    std::string pairId, portName, partnerName;
    bool operator==(const ListedPair& o) const
    {
        return pairId == o.pairId && portName == o.portName && partnerName == o.partnerName;
    }
};

class PairLibraryTest : public testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The folder that holds setupc.exe (also its working directory).
    std::string setupcFolder() const;
    std::string setupcPath() const { return setupcFolder() + "\\setupc.exe"; }
    // Emulator configuration whose list runs write exactly `text` (with CR LF line ends).
    void listWrites(const std::string& text);
    // Emulator configuration plus a log of its runs; returns the log's path.
    std::string logRuns(const std::string& moreConfig = "");
    std::vector<std::string> loggedRuns(const std::string& logPath) const;
    // A DOS device name that exists for the test (registered now when absent).
    void ensureDeviceName(const std::string& name);
    // All pairs as TarvVComGetOneCOMPair reports them.
    std::vector<ListedPair> listedPairs() const;

    static std::string root_;
    std::string savedTemp_;
    std::vector<std::string> registeredNames_;
};
