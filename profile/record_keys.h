// The record keys of a connection's section (recordfile, recordmib) and their reading
// into the record's settings (traffic_record_settings.h).
#pragma once

#include "traffic_record_settings.h"

#include <string>
#include <string_view>

namespace clser::profile {

inline constexpr char kRecordfile[] = "recordfile";
inline constexpr char kRecordmib[] = "recordmib";

// The section's values as read, empty when a key is absent; tooLong when the path did
// not fit the reader's buffer.
struct RecordSectionValues {
    std::string recordfile;
    std::string recordmib;
    bool tooLong = false;
};

// No recordfile: no record (and an error when recordmib is there without it). A relative
// path is taken beside the programs; a bad size keeps the default, which the error names.
TrafficRecordParse parseRecordSection(const RecordSectionValues& values, std::string_view programDirectory);

} // namespace clser::profile
