#include "record_keys.h"

#include "config_value_text.h"

namespace clser::profile {

TrafficRecordParse parseRecordSection(const RecordSectionValues& values, std::string_view programDirectory)
{
    TrafficRecordParse result;
    if (values.tooLong) {
        result.error = std::string(kRecordfile) + ": the value is too long";
        return result;
    }
    const std::string_view file = trimmedValue(values.recordfile);
    const std::string_view mib = trimmedValue(values.recordmib);
    if (file.empty()) {
        if (!mib.empty())
            result.error = std::string(kRecordmib) + ": given without " + kRecordfile;
        return result;
    }
    result.error = recordPathError(kRecordfile, file);
    if (!result.error.empty())
        return result;

    result.configured = true;
    result.settings.path = resolveRecordPath(file, programDirectory);
    if (!mib.empty()) {
        if (const auto limit = parseRecordMib(mib))
            result.settings.limitMib = *limit;
        else
            result.error = std::string(kRecordmib) + ": " + shownRecordValue(mib) + " is not a size in MiB (1 to " +
                           std::to_string(kMaxRecordMib) + "), " + std::to_string(kDefaultRecordMib) +
                           " is used";
    }
    return result;
}

} // namespace clser::profile
