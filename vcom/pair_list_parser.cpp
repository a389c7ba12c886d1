#include "pair_list_parser.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

namespace clser::vcom {
namespace {

// A line must be longer than this, leading spaces included.
constexpr std::size_t kShortestLineLength = 15;
// Position of the end letter (A or B) and of the pair number after the leading spaces.
constexpr std::size_t kEndLetterPos = 3;
constexpr std::size_t kPairNumberPos = 4;

class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    // The next line without its line feed, and whether the end of the text came first.
    struct Line {
        std::string text;
        bool hitEnd;
    };
    Line next()
    {
        const std::size_t lf = text_.find('\n', pos_);
        if (lf == std::string_view::npos) {
            Line line{std::string(text_.substr(pos_)), true};
            pos_ = text_.size();
            return line;
        }
        Line line{std::string(text_.substr(pos_, lf - pos_)), false};
        pos_ = lf + 1;
        return line;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string withoutLeadingSpaces(const std::string& line)
{
    const std::size_t first = line.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : line.substr(first);
}

// com0com's number of the pair: the digits from the number position on. A line with
// no digit there keeps its single character, which the removal later refuses.
std::optional<std::string> pairNumberOf(const std::string& line)
{
    if (line.size() <= kPairNumberPos)
        return std::nullopt;
    std::size_t end = kPairNumberPos;
    while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end])))
        ++end;
    if (end == kPairNumberPos)
        end = kPairNumberPos + 1;
    return line.substr(kPairNumberPos, end - kPairNumberPos);
}

// Everything after the first '=' (or the whole line when it has none) up to the first
// comma: setupc lists the other parameters set on the port after the name, joined by
// commas, and com0com splits parameters there, so no port name holds one.
std::string portNameOf(const std::string& line)
{
    const std::size_t eq = line.find('=');
    const std::string value = eq == std::string::npos ? line : line.substr(eq + 1);
    return value.substr(0, value.find(','));
}

std::optional<VirtualPair> pairOf(const std::string& lineA, const std::string& lineB)
{
    const auto numberA = pairNumberOf(lineA);
    const auto numberB = pairNumberOf(lineB);
    if (!numberA || !numberB || *numberA != *numberB || lineA[kEndLetterPos] != 'A' ||
        lineB[kEndLetterPos] != 'B')
        return std::nullopt;
    return VirtualPair{lineA.substr(0, 3) + *numberA, portNameOf(lineA), portNameOf(lineB)};
}

} // namespace

PairListParse parsePairList(std::string_view fileText)
{
    PairListParse result;
    LineReader reader(fileText);
    for (;;) {
        const auto first = reader.next();
        if (first.text.empty() || first.hitEnd)
            break;
        const auto second = reader.next();
        if (first.text.size() <= kShortestLineLength || second.text.size() <= kShortestLineLength) {
            result.valid = false;
            break;
        }
        const auto pair = pairOf(withoutLeadingSpaces(first.text), withoutLeadingSpaces(second.text));
        if (!pair) {
            result.valid = false;
            break;
        }
        result.pairs.push_back(*pair);
        if (second.hitEnd)
            break;
    }
    result.pairs.erase(std::unique(result.pairs.begin(), result.pairs.end()), result.pairs.end());
    return result;
}

} // namespace clser::vcom
