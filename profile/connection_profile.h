// One connection as one value: the COM port, the Camera Link port, the line, the mode,
// the network endpoint and the traffic record. The keys of its configuration section live
// here, and the codecs each way: section to profile (readProfile), profile to the bridge
// program's command line (toArguments), command line to profile (parseArguments), and
// profile to the keys the bridge program writes back (writeBack). What the launcher writes
// the bridge program reads back unchanged. Plain code; the file's reader is profile_file.h.
#pragma once

#include "line_settings.h"
#include "network_keys.h"
#include "record_keys.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clser::profile {

// The keys of a section "connection<n>" (the network keys are network_keys.h's, the
// record keys record_keys.h's, beside their readers).
inline constexpr char kCom[] = "com";
inline constexpr char kClser[] = "clser";
inline constexpr char kBaudrate[] = "baudrate";
inline constexpr char kParity[] = "parity";
inline constexpr char kDatabit[] = "databit";
inline constexpr char kStopbit[] = "stopbit";
inline constexpr char kRun[] = "run";
inline constexpr char kConnect[] = "connect";
// "1": the connection runs in low-latency mode; absent or "0": the default mode.
inline constexpr char kLowlatency[] = "lowlatency";
// The serial library of the Camera Link port: a file name inside the Camera Link library
// folder; absent or empty: this system's own library.
inline constexpr char kCllibrary[] = "cllibrary";
// The bridge program's word for it: CLLIB=<file name>.
inline constexpr char kClLibraryWord[] = "CLLIB=";

// The values a section without the key has.
inline constexpr int kDefaultClser = 0;
inline constexpr int kDefaultRun = 1;
inline constexpr int kDefaultConnect = 1;

// Text values are read into buffers of this size, so at most 7 characters are taken;
// the network values and the record file are longer.
inline constexpr int kValueBufferSize = 8;
inline constexpr int kNetworkValueBufferSize = 512;
inline constexpr int kRecordFileBufferSize = 1024;
inline constexpr int kRecordMibBufferSize = 32;
inline constexpr int kClLibraryBufferSize = 260;

struct ConnectionProfile {
    std::string userPortName;  // the COMn end the user's software opens
    int32_t clPortIndex = -1;  // Camera Link serial port index within its library, -1 = none
    // The port's serial library, a file name in the Camera Link library folder; empty:
    // this system's own.
    std::string clLibrary;
    LineSettings line;
    // Opt-in: the transfer loop hands bytes on as soon as they arrive instead of
    // waiting out its read time-outs. Off by default.
    bool lowLatency = false;
    // Opt-in: the user's side is a TCP client served on this endpoint instead of the
    // virtual pair, whose bridge end is then not opened. Absent: the pair.
    std::optional<network::NetworkSettings> network;
    // Opt-in: every block moved and every event of the connection is written to this
    // file. Absent: nothing is recorded.
    std::optional<TrafficRecordSettings> record;

    bool operator==(const ConnectionProfile& o) const
    {
        return userPortName == o.userPortName && clPortIndex == o.clPortIndex && clLibrary == o.clLibrary &&
               line == o.line &&
               lowLatency == o.lowLatency && network == o.network && record == o.record;
    }
};

// A connection section as a store of keys: the configuration file (profile_file.h), or in
// the tables a section's text.
class SectionReader {
public:
    virtual ~SectionReader() = default;
    // The value read into a buffer of bufferSize characters; fallback when absent.
    // tooLong, when given, is set when the value filled the buffer.
    virtual std::string text(const char* key, int bufferSize, const char* fallback,
                             bool* tooLong = nullptr) const = 0;
    // The leading decimal number of the value; fallback when absent or empty.
    virtual int number(const char* key, int fallback) const = 0;
};

// What the launcher makes of a section. refusal, when not empty, is why the connection is
// not started (a value that would split the command line, a negative Camera Link index);
// warnings are the values it starts without, each one line naming the section and key.
struct ProfileRead {
    ConnectionProfile profile;
    // The line settings argument as the section spells them ("9600,n,8,1"), so that a
    // value the bridge program reads as its default is still passed as it was written;
    // profile.line is what the bridge program reads of it.
    std::string lineArgument;
    int run = kDefaultRun;
    int connect = kDefaultConnect;
    std::string refusal;
    std::vector<std::string> warnings;
};

// Section connection<number>; a relative record file lies in programDirectory.
ProfileRead readProfile(const SectionReader& section, int number, std::string_view programDirectory);

// Why the launcher does not start a section whose "cllibrary" it cannot use: why is "a
// path instead of a file name", "not in the Camera Link library folder C:\...", ...
std::string clLibraryRefusal(int number, std::string_view why);

// "COM" followed by the text when it is digits only, else the text unchanged.
std::string comPortNameOf(std::string_view comValue);

// The bridge program's command line: "COM5 0 9600,n,8,1 Autorun", then "LowLatency" when
// the mode is on, the network word, the library word of another maker's port (in quotes
// when the file name has a blank) and last the record word in quotes, so that a path with
// blanks stays one argument. The line settings argument is lineArgument when given
// (ProfileRead::lineArgument), else the line's text.
std::string toArguments(const ConnectionProfile& profile, std::string_view lineArgument = {});
// The text in double quotes as the C runtime splits a command line: backslashes before
// the closing quote are doubled, so that it reads back as the text itself.
std::string quotedArgument(std::string_view text);

struct ArgumentsParse {
    ConnectionProfile profile;
    bool autorun = false;
    bool lineGiven = false;  // an argument carried line settings
    // Why a network or record word was not taken (the connection then runs without it).
    std::vector<std::string> problems;
};

// Every argument after the program name, each classified on its own (a later one
// overwrites an earlier; one leading "/" or "-" is dropped before the word tests; an
// argument that is all digits as given is the index). Without a port name ("COM...",
// upper-cased) or without an index nothing at all is taken. A relative record file lies
// in programDirectory.
ArgumentsParse parseArguments(const std::vector<std::string>& arguments, std::string_view programDirectory);

struct KeyValue {
    const char* key;
    std::string value;
    // Written only when the section already has a value for the key.
    bool onlyOverAValue = false;
};

// The keys the bridge program writes back after its settings are confirmed: the line,
// "lowlatency" ("1", or "0" over a value the section has), then "cllibrary" (another
// maker's library, or empty over a value the section has).
std::vector<KeyValue> writeBack(const ConnectionProfile& profile);
// A first run's section: com, clser, the default line, run and connect.
std::vector<KeyValue> firstRunSection(const std::string& comPortName, int clIndex);
// Every key of the profile as a section holds it.
std::vector<KeyValue> sectionOf(const ConnectionProfile& profile);

} // namespace clser::profile
