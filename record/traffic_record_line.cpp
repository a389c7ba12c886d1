#include "traffic_record_line.h"

#include <cstdio>

namespace clser {
namespace {

// The bytes' note stays last, where the tools that rebuild the streams look for it.
std::string withNote(std::string line, uint64_t bytesNotRecorded, uint64_t eventsNotRecorded)
{
    if (eventsNotRecorded > 0)
        line += " (" + std::to_string(eventsNotRecorded) + " events not recorded)";
    if (bytesNotRecorded > 0)
        line += " (" + std::to_string(bytesNotRecorded) + " bytes not recorded)";
    return line;
}

} // namespace

std::string recordTimeText(const RecordTime& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, t.millisecond);
    return text;
}

std::string recordDirection(bool toCamera, std::string_view userSide)
{
    return toCamera ? std::string(userSide) + "->CL" : "CL->" + std::string(userSide);
}

std::string blockRecordLine(const RecordTime& time, std::string_view direction, const uint8_t* bytes, size_t count,
                            uint64_t bytesNotRecorded, uint64_t eventsNotRecorded)
{
    static const char kHex[] = "0123456789abcdef";
    std::string line = recordTimeText(time);
    line.reserve(line.size() + direction.size() + 16 + count * 4);
    line += ' ';
    line += direction;
    line += ' ';
    line += std::to_string(count);
    for (size_t i = 0; i < count; ++i) {
        line += ' ';
        line += kHex[bytes[i] >> 4];
        line += kHex[bytes[i] & 15];
    }
    line += " |";
    for (size_t i = 0; i < count; ++i)
        line += bytes[i] >= 32 && bytes[i] < 127 ? static_cast<char>(bytes[i]) : '.';
    line += '|';
    return withNote(std::move(line), bytesNotRecorded, eventsNotRecorded);
}

std::string eventRecordLine(const RecordTime& time, std::string_view text, uint64_t bytesNotRecorded,
                            uint64_t eventsNotRecorded)
{
    while (!text.empty() && (static_cast<unsigned char>(text.back()) < 32))
        text.remove_suffix(1);
    std::string line = recordTimeText(time) + " * ";
    for (char c : text)
        line += static_cast<unsigned char>(c) < 32 ? ' ' : c;
    return withNote(std::move(line), bytesNotRecorded, eventsNotRecorded);
}

} // namespace clser
