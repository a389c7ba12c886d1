// The bridge program's command line as any list of arguments (one a line): the profile
// keeps to its forms, its line settings are accepted values, what the launcher would
// write of it reads back unchanged, and the main dialog's initial selection, port box
// items and status texts are made from it without harm; a record word reads back as the
// word it makes. The arguments also serve as the port list and Camera Link port names.
#include "../tests/profile/runtime_split.h"
#include "connection_settings.h"
#include "fuzz_check.h"
#include "initial_selection.h"
#include "status_texts.h"
#include "traffic_record_settings.h"
#include "virtual_port_items.h"

#include <climits>

#include <string>
#include <vector>

using namespace clser;
using namespace clser::app;

namespace {

bool hasLowerCaseLetter(const std::string& s)
{
    for (char c : s)
        if (c >= 'a' && c <= 'z')
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> arguments;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const size_t lf = rest.find('\n');
        arguments.emplace_back(rest.substr(0, lf));
        rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
    }

    const profile::ArgumentsParse parse = profile::parseArguments(arguments, "C:\\Dunmere\\bin");
    const profile::ConnectionProfile& p = parse.profile;
    FUZZ_CHECK(p.userPortName.empty() || p.userPortName.rfind("COM", 0) == 0);
    FUZZ_CHECK(!hasLowerCaseLetter(p.userPortName));
    FUZZ_CHECK(p.clPortIndex >= -1);
    FUZZ_CHECK(p.line.dataBits >= 5 && p.line.dataBits <= 9);
    FUZZ_CHECK(parse.problems.size() <= 2);
    if (p.userPortName.empty() || p.clPortIndex < 0)
        FUZZ_CHECK(p == profile::ConnectionProfile{} && !parse.autorun && !parse.lineGiven && parse.problems.empty());

    if (p.record) {
        const TrafficRecordSettings& r = *p.record;
        FUZZ_CHECK(r.limitMib >= 1 && r.limitMib <= kMaxRecordMib);
        FUZZ_CHECK(isAbsoluteWindowsPath(r.path) && r.path.find('"') == std::string::npos);
        FUZZ_CHECK(parseRecordWord(recordWord(r), "").settings == r);
    }
    // What the launcher would write of the profile reads back unchanged, as long as the
    // port name keeps to its own word.
    if (!p.userPortName.empty() && p.clPortIndex >= 0 &&
        p.userPortName.find_first_of(" \t\",") == std::string::npos)
        FUZZ_CHECK(profile::parseArguments(test::splitAsTheRuntime(profile::toArguments(p)), "").profile == p);

    // What the main dialog then does with them.
    ConnectionSettings settings;
    static_cast<profile::ConnectionProfile&>(settings) = p;
    settings.line = {};
    settings.bridgePortName = partnerName(p.userPortName);
    if (parse.lineGiven)
        settings.setLine(p.line);
    FUZZ_CHECK(clBaudCodeForRate(settings.line.baudRate) == settings.clBaudCode);

    // A port list and Camera Link port names made of the same arguments: an argument
    // with a '-' is a pair "<id>-<port>-<partner>", any other a plain port.
    std::vector<VirtualPair> entries;
    std::vector<std::string> clPortNames;
    std::vector<discovery::CameraLinkPort> clPorts;
    for (size_t i = 0; i < arguments.size() && i < 16; ++i) {
        const std::string& a = arguments[i];
        const size_t first = a.find('-');
        const size_t second = first == std::string::npos ? first : a.find('-', first + 1);
        if (second != std::string::npos)
            entries.push_back({a.substr(0, first), a.substr(first + 1, second - first - 1), a.substr(second + 1)});
        else
            entries.push_back({"", a, ""});
        clPortNames.push_back(a);
        clPorts.push_back({a, i % 2 ? "clserlrk.dll" : "", static_cast<int32_t>(i / 2)});
    }

    const StartChoice choice = chooseInitialSelection(p.userPortName, settings, entries, clPorts);
    if (choice == StartChoice::Connect) {
        FUZZ_CHECK(discovery::cameraLinkPortPosition(clPorts, settings.clLibrary, settings.clPortIndex) >= 0);
    } else if (choice == StartChoice::StartPortUnusable) {
        FUZZ_CHECK(settings.userPortName.empty() && settings.bridgePortName.empty() && settings.clPortIndex == -1);
    }
    dropUnlistedPort(settings, entries);

    for (const auto& item : virtualPortItems(entries, clPortNames)) {
        FUZZ_CHECK(item.data >= 0 && item.data <= INT_MAX);
        FUZZ_CHECK(item.data == 0 || item.text.find('-') != std::string::npos);
    }
    for (const auto& entry : entries) {
        const intptr_t number = pairNumberOfId(entry.pairId);
        FUZZ_CHECK(number >= 0 && number <= INT_MAX);
        if (number > 0 && entry.pairId == pairIdOfNumber(number))
            FUZZ_CHECK(pairNumberOfId(pairIdOfNumber(number)) == number);
    }

    const StatusTexts texts = statusTexts(parse.autorun, settings, clPorts);
    FUZZ_CHECK(texts.tooltip.find(texts.panes[1]) != std::string::npos);
    return 0;
}
