// The lines of a traffic record file. A block moved by the bridge:
//   2026-12-09 16:13:34.123 COM->CL 5 50 49 4e 47 0d |PING.|
// (local time, direction, byte count, each byte as two hex digits, the bytes as
// printable characters); any other event:
//   2026-12-09 16:13:34.125 * Connection error!
// A line that follows a loss ends with " (N bytes not recorded)", after
// " (N events not recorded)" when events were lost too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace clser {

struct RecordTime {
    uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

// "YYYY-MM-DD hh:mm:ss.mmm".
std::string recordTimeText(const RecordTime& time);

// "COM->CL" and "CL->COM" on a virtual pair; a network client's address in place of
// COM on a network connection ("127.0.0.1:50123->CL").
std::string recordDirection(bool toCamera, std::string_view userSide);

std::string blockRecordLine(const RecordTime& time, std::string_view direction, const uint8_t* bytes, size_t count,
                            uint64_t bytesNotRecorded, uint64_t eventsNotRecorded = 0);
// Control characters of the text become blanks, so an event is always one line.
std::string eventRecordLine(const RecordTime& time, std::string_view text, uint64_t bytesNotRecorded,
                            uint64_t eventsNotRecorded = 0);

} // namespace clser
