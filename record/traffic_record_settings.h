// A connection's traffic record: the file every moved block is written to, the parsers
// of its values, and the one command-line word that carries it to the bridge program
// ("Record=16:C:\Logs\com5.log"). Plain functions over texts; the profile names the
// section's keys and reads them (record_keys.h); opening the file is record_file.h's part.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace clser {

inline constexpr uint32_t kDefaultRecordMib = 16;
inline constexpr uint32_t kMaxRecordMib = 4096;

struct TrafficRecordSettings {
    std::string path;                      // absolute
    uint32_t limitMib = kDefaultRecordMib; // past it the file becomes <path>.1 and a new one begins
    std::string programVersion;            // named by the first lines of every file

    uint64_t limitBytes() const { return static_cast<uint64_t>(limitMib) << 20; }
    bool operator==(const TrafficRecordSettings& o) const { return path == o.path && limitMib == o.limitMib; }
};

struct TrafficRecordParse {
    // True when a record is asked for; settings then hold it (with the default size
    // when the size given was bad, which error then reports).
    bool configured = false;
    TrafficRecordSettings settings;
    // Empty when the values are good (or absent); else one line naming the key and why.
    std::string error;
};

// A size in MiB: decimal digits only, 1 to kMaxRecordMib.
std::optional<uint32_t> parseRecordMib(std::string_view text);
// A value shown in an error line: quoted, and cut short when long.
std::string shownRecordValue(std::string_view value);
// Empty when the path can be passed on; else one line that begins with what: no path,
// or one holding a quote (which a command line cannot pass and no file name holds).
std::string recordPathError(const char* what, std::string_view path);

// "C:\..." or "C:/...", or a network path "\\server\share\...".
bool isAbsoluteWindowsPath(std::string_view path);
// The path as given when absolute, else beside the programs: directory + "\" + path.
std::string resolveRecordPath(std::string_view path, std::string_view programDirectory);
// A path that would reach something other than a disk file: its last part is a device's
// reserved name (CON, NUL, COM1, LPT1, ...: with any extension, in any letter case), it
// starts in the device namespace (\\.\ or \\?\), holds a colon other than a drive's
// ("COM5:", "C:x.log", "a.log:x"), or names a pipe or mailslot share (\\host\pipe\...).
bool namesDevice(std::string_view path);
// The form in which Windows compares two paths of files: letters in upper case, "\" for
// "/", without "." and ".." parts, doubled separators and the dots and blanks ending the
// name. Two record paths with the same key name the same file.
std::string recordFileKey(std::string_view path);

// "Record=<MiB>:<path>". The path keeps its letter case and may hold blanks and commas:
// the launcher quotes the word, and the bridge program takes it before any other test.
std::string recordWord(const TrafficRecordSettings& settings);
// Whether an argument is the record word (its prefix, in any letter case).
bool isRecordWord(std::string_view argument);
// The settings the word carries; a relative path is taken beside the programs.
TrafficRecordParse parseRecordWord(std::string_view argument, std::string_view programDirectory);

} // namespace clser
