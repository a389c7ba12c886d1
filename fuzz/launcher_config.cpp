// A connection section as the launcher reads it, from any section text ("key=value"
// lines): the bridge end to look for is whole, a refused section says why and names
// its section, and a section it passes reads back on the bridge program's side as the
// profile it read (the port name upper-cased), and from the section written of that
// profile again.
#include "../tests/profile/runtime_split.h"
#include "../tests/profile/section_text.h"
#include "connection_profile.h"
#include "fuzz_check.h"
#include "launcher_config.h"
#include "letter_case.h"

#include <string>

using namespace clser;
using namespace clser::profile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ProfileRead read = readProfile(test::SectionText(text), 1, "C:\\Dunmere\\bin");
    const ConnectionProfile& p = read.profile;
    FUZZ_CHECK(autorun::bridgeSearchKey(p.userPortName) == "TARV" + upperCase(p.userPortName));
    FUZZ_CHECK(p.line.dataBits >= 5 && p.line.dataBits <= 9);
    FUZZ_CHECK(read.warnings.size() <= 3);
    for (const std::string& warning : read.warnings)
        FUZZ_CHECK(warning.find(" in section connection1 ") != std::string::npos);
    if (!read.refusal.empty()) {
        FUZZ_CHECK(read.refusal.find(" section connection1 ") != std::string::npos);
        return 0;
    }
    FUZZ_CHECK(p.clPortIndex >= 0);

    // The bridge program's side: the same profile back, as long as the port name keeps
    // to its own test (a name that reads as a COM name and not as line settings).
    ConnectionProfile passed = p;
    passed.userPortName = upperCase(p.userPortName);
    if (passed.userPortName.rfind("COM", 0) == 0 && passed.userPortName.find(',') == std::string::npos) {
        const ArgumentsParse parse = parseArguments(test::splitAsTheRuntime(toArguments(p, read.lineArgument)), "");
        FUZZ_CHECK(parse.profile == passed);
        FUZZ_CHECK(parse.autorun && parse.lineGiven && parse.problems.empty());
    }
    // A name, a library and a record path (beside the programs, it grew) that the reader
    // takes whole are written and read back unchanged.
    const bool recordFits = !p.record || p.record->path.size() < kRecordFileBufferSize - 1;
    if (p.userPortName.size() < kValueBufferSize - 1 && p.userPortName == comPortNameOf(p.userPortName) &&
        p.clLibrary.size() < kClLibraryBufferSize - 1 && recordFits) {
        std::string section;
        for (const KeyValue& k : sectionOf(p))
            section += std::string(k.key) + "=" + k.value + "\n";
        FUZZ_CHECK(readProfile(test::SectionText(section), 1, "").profile == p);
    }
    return 0;
}
