#include "connection_profile.h"

#include "cl_serial_library_names.h"
#include "digit_text.h"
#include "letter_case.h"

#include <cstdio>

namespace clser::profile {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool hasSeparator(const std::string& s) { return s.find_first_of(" \t\"") != std::string::npos; }

std::string section(int number) { return "section connection" + std::to_string(number); }

// The line settings argument as the section spells it ("%d,%s,%d,%s" of the values as
// read).
std::string lineArgumentOf(int baudrate, const std::string& parity, int databit, const std::string& stopbit)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d,%s,%d,%s", baudrate, parity.c_str(), databit, stopbit.c_str());
    return text;
}

// The line of that argument as the bridge program reads it: one leading "-" is dropped,
// the rest upper-cased.
LineSettings lineOfArgument(std::string_view argument)
{
    if (!argument.empty() && argument.front() == '-')
        argument.remove_prefix(1);
    return parseLineSettings(upperCase(argument));
}

} // namespace

std::string comPortNameOf(std::string_view comValue)
{
    if (isAllDigits(comValue))
        return "COM" + std::string(comValue);
    return std::string(comValue);
}

ProfileRead readProfile(const SectionReader& s, int number, std::string_view programDirectory)
{
    ProfileRead read;
    ConnectionProfile& p = read.profile;
    const std::string com = s.text(kCom, kValueBufferSize, "");
    const std::string parity = s.text(kParity, kValueBufferSize, "n");
    const std::string stopbit = s.text(kStopbit, kValueBufferSize, "1");
    const std::string lowlatency = s.text(kLowlatency, kValueBufferSize, "");
    p.clLibrary = s.text(kCllibrary, kClLibraryBufferSize, "");
    p.userPortName = comPortNameOf(com);
    p.clPortIndex = s.number(kClser, kDefaultClser);
    read.lineArgument = lineArgumentOf(s.number(kBaudrate, 9600), parity, s.number(kDatabit, 8), stopbit);
    p.line = lineOfArgument(read.lineArgument);
    read.run = s.number(kRun, kDefaultRun);
    read.connect = s.number(kConnect, kDefaultConnect);

    // A value that would split into several arguments on the bridge's command line
    // cannot be passed.
    const char* unpassable = hasSeparator(com) ? kCom : hasSeparator(parity) ? kParity : hasSeparator(stopbit) ? kStopbit
                                                                                                              : nullptr;
    if (unpassable)
        read.refusal = "The value of \"" + std::string(unpassable) + "\" in " + section(number) +
                       " contains a blank or a quote, please check the configuration";
    else if (p.clPortIndex < 0)
        read.refusal = "The cl serial port index " + std::to_string(p.clPortIndex) + " of " + section(number) +
                       " is invalid, please check the configuration";
    else if (const std::string problem = clLibraryNameProblem(p.clLibrary); !problem.empty())
        read.refusal = clLibraryRefusal(number, problem);

    // Only "1" turns the mode on; an empty value and "0" keep the default mode, and so
    // does any other text, which is reported.
    p.lowLatency = lowlatency == "1";
    if (!p.lowLatency && !lowlatency.empty() && lowlatency != "0")
        read.warnings.push_back("The value of \"lowlatency\" in " + section(number) +
                                " is neither 0 nor 1, the connection starts in the default mode");

    NetworkSectionValues net;
    for (auto [key, value] : {std::pair{kNetport, &net.netport}, {kNetaddress, &net.netaddress},
                              {kNetprotocol, &net.netprotocol}, {kNetallow, &net.netallow},
                              {kNettakeover, &net.nettakeover}}) {
        bool tooLong = false;
        *value = s.text(key, kNetworkValueBufferSize, "", &tooLong);
        if (tooLong && !net.tooLong)
            net.tooLong = key;
    }
    network::NetworkSettingsParse networkParse = parseNetworkSection(net);
    if (!networkParse.error.empty())
        read.warnings.push_back("The network settings in " + section(number) +
                                " are invalid, the connection starts without network access: " + networkParse.error);
    if (networkParse.configured)
        p.network = std::move(networkParse.settings);

    RecordSectionValues record;
    record.recordfile = s.text(kRecordfile, kRecordFileBufferSize, "", &record.tooLong);
    record.recordmib = s.text(kRecordmib, kRecordMibBufferSize, "");
    TrafficRecordParse recordParse = parseRecordSection(record, programDirectory);
    if (!recordParse.error.empty())
        read.warnings.push_back("The record settings in " + section(number) + " are invalid" +
                                (recordParse.configured ? "" : ", the connection runs without a record") + ": " +
                                recordParse.error);
    if (recordParse.configured)
        p.record = std::move(recordParse.settings);
    return read;
}

std::string clLibraryRefusal(int number, std::string_view why)
{
    return "The value of \"" + std::string(kCllibrary) + "\" in " + section(number) + " is " + std::string(why) +
           ", the connection is not started";
}

std::string quotedArgument(std::string_view text)
{
    std::string quoted = "\"" + std::string(text);
    for (std::size_t i = text.size(); i > 0 && text[i - 1] == '\\'; --i)
        quoted += '\\';
    return quoted + "\"";
}

std::string toArguments(const ConnectionProfile& p, std::string_view lineArgument)
{
    std::string arguments = p.userPortName + " " + std::to_string(p.clPortIndex) + " " +
                            (lineArgument.empty() ? lineSettingsText(p.line) : std::string(lineArgument)) + " Autorun";
    if (p.lowLatency)
        arguments += " LowLatency";
    if (p.network)
        arguments += " " + network::networkWord(*p.network);
    if (!p.clLibrary.empty()) {
        const std::string word = kClLibraryWord + p.clLibrary;
        arguments += " " + (hasSeparator(word) ? quotedArgument(word) : word);
    }
    if (p.record)
        arguments += " " + quotedArgument(recordWord(*p.record));
    return arguments;
}

ArgumentsParse parseArguments(const std::vector<std::string>& arguments, std::string_view programDirectory)
{
    std::string portName, line, networkText, recordText, clLibrary;
    int32_t index = -1;
    bool autorun = false, lowLatency = false;
    for (std::string_view argument : arguments) {
        // A value beyond 32 bits stays at the largest, which no Camera Link port list reaches.
        if (isAllDigits(argument)) {
            index = saturatedDecimalValue(argument);
            continue;
        }
        if (!argument.empty() && (argument.front() == '/' || argument.front() == '-'))
            argument.remove_prefix(1);
        // Taken before every other test and as given, so that the file name keeps its
        // letter case and a path with a comma is no line settings.
        if (isRecordWord(argument)) {
            recordText = std::string(argument);
            continue;
        }
        if (startsWithIgnoringCase(argument, kClLibraryWord)) {
            clLibrary = std::string(argument.substr(std::string_view(kClLibraryWord).size()));
            continue;
        }
        const std::string upper = upperCase(argument);
        if (startsWith(upper, "COM"))
            portName = upper;
        if (upper.find(',') != std::string::npos)
            line = upper;
        if (startsWith(upper, "AUTORUN"))
            autorun = true;
        if (startsWith(upper, "LOWLATENCY"))
            lowLatency = true;
        // The word carries no comma, so it is never line settings as well.
        if (network::isNetworkWord(upper))
            networkText = upper;
    }

    ArgumentsParse parse;
    if (portName.empty() || index < 0)
        return parse;
    ConnectionProfile& p = parse.profile;
    p.userPortName = portName;
    p.clPortIndex = index;
    p.clLibrary = clLibrary;
    parse.autorun = autorun;
    parse.lineGiven = !line.empty();
    p.line = parseLineSettings(line);
    p.lowLatency = lowLatency;
    if (!networkText.empty()) {
        network::NetworkSettingsParse net = network::parseNetworkWord(networkText);
        if (net.configured)
            p.network = std::move(net.settings);
        else
            parse.problems.push_back("The network word is not valid, the connection uses its virtual pair: " +
                                     net.error);
    }
    if (!recordText.empty()) {
        TrafficRecordParse record = parseRecordWord(recordText, programDirectory);
        if (record.configured)
            p.record = std::move(record.settings);
        else
            parse.problems.push_back("The record word is not valid, the connection runs without a record: " +
                                     record.error);
    }
    return parse;
}

std::vector<KeyValue> writeBack(const ConnectionProfile& p)
{
    return {{kBaudrate, std::to_string(p.line.baudRate)},
            {kParity, parityLetter(p.line.parity)},
            {kDatabit, std::to_string(p.line.dataBits)},
            {kStopbit, stopBitsLabel(p.line.stopBits)},
            {kLowlatency, p.lowLatency ? "1" : "0", !p.lowLatency},
            {kCllibrary, p.clLibrary, p.clLibrary.empty()}};
}

std::vector<KeyValue> firstRunSection(const std::string& comPortName, int clIndex)
{
    std::vector<KeyValue> keys = writeBack(ConnectionProfile{});
    keys.resize(4);
    keys.insert(keys.begin(), {{kCom, comPortName}, {kClser, std::to_string(clIndex)}});
    keys.push_back({kRun, std::to_string(kDefaultRun)});
    keys.push_back({kConnect, std::to_string(kDefaultConnect)});
    return keys;
}

std::vector<KeyValue> sectionOf(const ConnectionProfile& p)
{
    std::vector<KeyValue> keys = writeBack(p);
    keys.resize(4);
    keys.insert(keys.begin(), {{kCom, p.userPortName}, {kClser, std::to_string(p.clPortIndex)}});
    if (p.lowLatency)
        keys.push_back({kLowlatency, "1"});
    if (!p.clLibrary.empty())
        keys.push_back({kCllibrary, p.clLibrary});
    if (const auto& n = p.network) {
        std::string allowed;
        for (const uint32_t address : n->allowed)
            allowed += (allowed.empty() ? "" : ",") + network::ipv4AddressText(address);
        keys.push_back({kNetport, std::to_string(n->port)});
        keys.push_back({kNetaddress, network::ipv4AddressText(n->listenAddress)});
        keys.push_back({kNetprotocol, n->protocol == network::NetProtocol::Raw ? "raw" : "rfc2217"});
        keys.push_back({kNetallow, allowed});
        keys.push_back({kNettakeover, n->takeover ? "1" : "0"});
    }
    if (p.record) {
        keys.push_back({kRecordfile, p.record->path});
        keys.push_back({kRecordmib, std::to_string(p.record->limitMib)});
    }
    return keys;
}

} // namespace clser::profile
