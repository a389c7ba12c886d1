// The launcher's view of the configuration file: the sections it reads and writes beside
// the profile's (connection_profile.h), and the bridge end it looks for.
#pragma once

#include <string>
#include <string_view>

namespace clser::autorun {

// The "com" value of section connection<number>, empty when absent.
std::string readComValue(const std::string& configPath, int number);

// Writes the section of a first run: com = the pair's COM-side name, clser = index,
// and the default line settings, run and connect, in this order.
void writeFirstRunSection(const std::string& configPath, int number, const std::string& comPortName, int clIndex);

// The console line for section connection<number> whose "cllibrary" names a library the
// launcher cannot use; problem as the library's load says it ("is not in the Camera Link
// library folder C:\...", "is not a serial library: it lacks the call clSerialRead").
std::string clLibraryRefusalLine(int number, std::string_view problem);

// The bridge end of the pair (partnerName) of the COM port name in upper case.
std::string bridgeSearchKey(std::string_view comPortName);

} // namespace clser::autorun
