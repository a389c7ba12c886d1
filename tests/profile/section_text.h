// A connection section's "key=value" lines as the profile reads a section of the file:
// keys in any letter case, the first of a key counts, blanks around a value and one pair
// of quotes around it do not count, a value is cut to the reader's buffer, and a number
// is its leading decimal digits (the fallback when absent or empty). The profile's tables
// and the launcher keys' fuzz target read sections through it.
#pragma once

#include "config_value_text.h"
#include "connection_profile.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace clser::test {

class SectionText : public profile::SectionReader {
public:
    explicit SectionText(std::string_view lines)
    {
        while (!lines.empty()) {
            const std::size_t end = lines.find('\n');
            const std::string_view line = lines.substr(0, end);
            lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
            const std::size_t equals = line.find('=');
            if (equals == std::string_view::npos)
                continue;
            std::string_view value = trimmedValue(line.substr(equals + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            entries_.emplace_back(lowerCase(trimmedValue(line.substr(0, equals))), std::string(value));
        }
    }

    std::string text(const char* key, int bufferSize, const char* fallback, bool* tooLong = nullptr) const override
    {
        const std::string* value = find(key);
        const std::string text = value ? *value : fallback;
        if (tooLong)
            *tooLong = value && text.size() >= static_cast<std::size_t>(bufferSize - 1);
        return text.substr(0, static_cast<std::size_t>(bufferSize - 1));
    }

    int number(const char* key, int fallback) const override
    {
        const std::string* value = find(key);
        return !value || value->empty() ? fallback : std::atoi(value->c_str());
    }

private:
    static std::string lowerCase(std::string_view text)
    {
        std::string lower(text);
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return lower;
    }

    const std::string* find(const char* key) const
    {
        const std::string lower = lowerCase(key);
        for (const auto& entry : entries_)
            if (entry.first == lower)
                return &entry.second;
        return nullptr;
    }

    std::vector<std::pair<std::string, std::string>> entries_;
};

} // namespace clser::test
