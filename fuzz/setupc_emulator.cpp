// The setupc emulator's inputs: its configuration, its state file and its command line,
// each from any bytes. The number a new pair gets is free, the state file reads back
// as written, and the list it writes reads through the pair library's parser.
//
// Input: configuration text, a line "----", the state file text, a line "----", then
// the arguments one a line.
#include "emulator_config.h"
#include "fuzz_check.h"
#include "pair_list_parser.h"
#include "pair_table.h"
#include "setupc_command_line.h"

#include <string>
#include <vector>

using namespace clser;
using namespace clser::setupc;

namespace {

std::string_view takePart(std::string_view& rest)
{
    const size_t mark = rest.find("\n----\n");
    const std::string_view part = rest.substr(0, mark);
    rest = mark == std::string_view::npos ? std::string_view() : rest.substr(mark + 6);
    return part;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const EmulatorConfigParse config = parseEmulatorConfig(takePart(rest));
    FUZZ_CHECK(config.config.firstPair >= 0);

    const std::vector<EmulatedPair> pairs = parsePairTable(takePart(rest));
    for (const auto& pair : pairs)
        FUZZ_CHECK(pair.number >= 0 && !pair.paramsA.empty() && !pair.paramsB.empty());
    FUZZ_CHECK(parsePairTable(formatPairTable(pairs)) == pairs);

    const int number = lowestFreePairNumber(pairs, config.config.firstPair);
    if (number >= 0) {
        FUZZ_CHECK(number >= config.config.firstPair);
        FUZZ_CHECK(!findPair(pairs, number));
    }

    const vcom::PairListParse list = vcom::parsePairList(formatPairList(pairs));
    FUZZ_CHECK(list.pairs.size() <= pairs.size());
    for (const auto& pair : list.pairs)
        FUZZ_CHECK(pair.pairId.rfind("CNC", 0) == 0);

    std::vector<std::string> arguments;
    while (!rest.empty()) {
        const size_t lf = rest.find('\n');
        arguments.emplace_back(rest.substr(0, lf));
        rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
    }
    const Command command = parseCommandLine(arguments);
    switch (command.kind) {
    case CommandKind::Install:
        FUZZ_CHECK(!portNameOf(command.paramsA).empty() && !portNameOf(command.paramsB).empty());
        break;
    case CommandKind::Remove:
    case CommandKind::MakeEnds:
        FUZZ_CHECK(command.pairNumber >= 0);
        break;
    case CommandKind::Invalid:
        FUZZ_CHECK(!command.error.empty());
        break;
    case CommandKind::List:
        break;
    }
    return 0;
}
