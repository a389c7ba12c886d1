// The arguments of a command line as the C runtime splits it: blanks and tabs separate
// outside quotes; 2n backslashes before a quote are n and the quote toggles, 2n+1 are n
// and a quote; other backslashes are themselves. The profile's tables and the command
// line's fuzz target read the launcher's text back through it.
#pragma once

#include <string>
#include <vector>

namespace clser::test {

inline std::vector<std::string> splitAsTheRuntime(const std::string& line)
{
    std::vector<std::string> arguments;
    std::string argument;
    bool quoted = false, started = false;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == '\\') {
            std::size_t n = 0;
            for (; i < line.size() && line[i] == '\\'; ++i)
                ++n;
            const bool beforeQuote = i < line.size() && line[i] == '"';
            argument.append(beforeQuote ? n / 2 : n, '\\');
            if (beforeQuote && n % 2 == 1)
                argument += line[i++];
        } else if (line[i] == '"') {
            quoted = !quoted;
            ++i;
        } else if ((line[i] == ' ' || line[i] == '\t') && !quoted) {
            if (started)
                arguments.push_back(argument);
            argument.clear();
            started = false;
            ++i;
            continue;
        } else {
            argument += line[i++];
        }
        started = true;
    }
    if (started)
        arguments.push_back(argument);
    return arguments;
}

} // namespace clser::test
