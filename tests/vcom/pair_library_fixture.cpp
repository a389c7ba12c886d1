#include "pair_library_fixture.h"

#include "pty_rig.h"

#include <windows.h>

#include <sstream>

using namespace clser::test;

std::string PairLibraryTest::root_;

void PairLibraryTest::SetUpTestSuite() { root_ = makeCom0comRoot(runDirectory("vcom") + "\\root"); }

void PairLibraryTest::SetUp()
{
    savedTemp_ = envValue("TEMP");
    setEnv("TARVDIR5", root_);
    unsetEnv("TARVDIR5_32");
    configureEmulator("");
    configureCameraPorts(2);
    TarvVComClose();
    removeAllEmulatedPairs();
    ASSERT_TRUE(emulatedPairs().empty()) << "pairs of the emulator could not be removed";
}

void PairLibraryTest::TearDown()
{
    TarvVComClose();
    setEnv("TEMP", savedTemp_);
    configureEmulator("");
    removeAllEmulatedPairs();
    for (const auto& name : registeredNames_)
        clser::testbed::unregisterDosDeviceName(name);
}

std::string PairLibraryTest::setupcFolder() const { return root_ + "\\com0com\\" + architectureFolder(); }

void PairLibraryTest::listWrites(const std::string& text)
{
    const std::string path = runDirectory("vcom") + "\\list-text.txt";
    writeTextFile(path, text);
    configureEmulator("list_text = " + path + "\n");
}

std::string PairLibraryTest::logRuns(const std::string& moreConfig)
{
    const std::string path = runDirectory("vcom") + "\\setupc-runs.log";
    DeleteFileA(path.c_str());
    configureEmulator("log = " + path + "\n" + moreConfig);
    return path;
}

std::vector<std::string> PairLibraryTest::loggedRuns(const std::string& logPath) const
{
    std::vector<std::string> lines;
    std::istringstream in(readTextFile(logPath));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void PairLibraryTest::ensureDeviceName(const std::string& name)
{
    if (deviceListed(name))
        return;
    ASSERT_TRUE(clser::testbed::registerDosDeviceName(name)) << name;
    registeredNames_.push_back(name);
}

std::vector<ListedPair> PairLibraryTest::listedPairs() const
{
    std::vector<ListedPair> pairs;
    const int count = TarvVComGetCOMPairCount();
    for (int i = 0; i < count; ++i) {
        char id[20] = {}, port[20] = {}, partner[20] = {};
        if (TarvVComGetOneCOMPair(i, id, port, partner))
            pairs.push_back({id, port, partner});
    }
    return pairs;
}
