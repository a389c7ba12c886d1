// The digit test that port numbers, pair identifiers and configuration values share.
#pragma once

#include <cctype>
#include <string_view>

namespace clser {

// True when the text is not empty and holds decimal digits only.
inline bool isAllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

} // namespace clser
