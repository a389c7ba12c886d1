// The system's list of DOS device names (COM1, TARVCOM5, C:, ...): reading it, splitting
// it into names and picking out numbered port names.
#pragma once

#include "digit_text.h"
#include "letter_case.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clser {

// All device names as QueryDosDevice gives them: each name ended by a zero. Nothing when
// the list cannot be read.
std::optional<std::string> queryDosDeviceNames();

// The names of such a list, in list order: it ends at the first empty name or at the end
// of the text, and a last name without its zero still counts.
inline std::vector<std::string> splitDosDeviceNames(std::string_view list)
{
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < list.size() && list[pos] != '\0') {
        std::size_t end = list.find('\0', pos);
        if (end == std::string_view::npos)
            end = list.size();
        names.emplace_back(list.substr(pos, end - pos));
        pos = end + 1;
    }
    return names;
}

// A port name: prefix in any letter case, then one digit or more, longest characters at
// most (prefix COM: COM1, com4).
inline bool isNumberedDeviceName(std::string_view name, std::string_view prefix, std::size_t longest)
{
    return name.size() <= longest && startsWithIgnoringCase(name, prefix) && isAllDigits(name.substr(prefix.size()));
}

} // namespace clser
