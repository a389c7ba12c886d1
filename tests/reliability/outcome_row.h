// Every bad-input case prints one line "ROW|<table>|<input>|<expected>|<observed>" to
// standard output; tests/reliability/outcome-table turns the lines of a run into the tables of
// docs/RELIABILITY.md.
#pragma once

#include <cstdio>
#include <string>

namespace clser::reliability {

inline void printOutcomeRow(const std::string& table, const std::string& input, const std::string& expected,
                            const std::string& observed)
{
    std::printf("ROW|%s|%s|%s|%s\n", table.c_str(), input.c_str(), expected.c_str(), observed.c_str());
    std::fflush(stdout);
}

// A text as it may stand in one table cell: line feeds shown as \n, bars replaced, and
// long texts shortened in the middle.
inline std::string cellText(const std::string& text, std::size_t longest = 90)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '|')
            out += '/';
        else if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
            out += '?';
        else
            out += c;
    }
    if (out.size() > longest)
        out = out.substr(0, longest / 2) + " ... " + out.substr(out.size() - longest / 2 + 5);
    return out;
}

} // namespace clser::reliability
