// The configuration file DunmereConfig.ini beside each program: one section per
// connection ("connection1", "connection2", ...), read and written only through the
// Windows profile functions.
#pragma once

#include <string>
#include <string_view>

namespace clser::config {

inline constexpr char kFileName[] = "DunmereConfig.ini";
inline constexpr char kSectionFormat[] = "connection%d";

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

// Text values are read into buffers of this size, so at most 7 characters are taken.
inline constexpr int kValueBufferSize = 8;

// "connection<number>".
std::string sectionName(int number);

// The directory of a module path (the text before its last backslash; empty when it
// has none) followed by "\DunmereConfig.ini".
std::string configPathBeside(std::string_view modulePath);

// The same for the running program.
std::string configPathOfThisProgram();

// A text value of a section, read into the value buffer (so at most 7 characters);
// fallback when the key is absent.
std::string readValue(const std::string& configPath, const std::string& section, const char* key,
                      const char* fallback);

// A number of a section as the profile functions read it; fallback when the key is absent.
int readNumber(const std::string& configPath, const std::string& section, const char* key, int fallback);

} // namespace clser::config
