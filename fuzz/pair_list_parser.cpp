// The list file setupc writes, as any text: every pair has an identifier and survives
// the copy into a caller's 20-byte buffers; the pairs written out again as a list read
// back unchanged.
#include "fuzz_check.h"
#include "pair_list_parser.h"
#include "vcom_module.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>

using namespace clser::vcom;
using clser::VirtualPair;

namespace {

bool allDigits(const std::string& s)
{
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return !s.empty();
}

void checkCopy(const std::string& text)
{
    // Exactly the caller's size on the heap, so a byte written past it is reported.
    std::unique_ptr<char[]> buffer(new char[kPairTextBufferSize]);
    std::memset(buffer.get(), 0, kPairTextBufferSize);
    copyPairText(buffer.get(), text);
    FUZZ_CHECK(buffer[kPairTextBufferSize - 1] == '\0');
    FUZZ_CHECK(std::memcmp(buffer.get(), text.data(), std::min(text.size(), kPairTextBufferSize - 1)) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const PairListParse parse = parsePairList(std::string_view(reinterpret_cast<const char*>(data), size));

    std::string relisted;
    bool relistable = true;
    for (size_t i = 0; i < parse.pairs.size(); ++i) {
        const VirtualPair& pair = parse.pairs[i];
        FUZZ_CHECK(pair.pairId.size() >= 4);
        FUZZ_CHECK(i == 0 || !(pair == parse.pairs[i - 1]));
        checkCopy(pair.pairId);
        checkCopy(pair.portName);
        checkCopy(pair.partnerName);

        const std::string prefix = pair.pairId.substr(0, 3);
        const std::string number = pair.pairId.substr(3);
        if (prefix.find_first_of("= \n") != std::string::npos || !allDigits(number))
            relistable = false;
        relisted += "       " + prefix + "A" + number + " PortName=" + pair.portName + "\n";
        relisted += "       " + prefix + "B" + number + " PortName=" + pair.partnerName + "\n";
    }
    if (relistable) {
        const PairListParse again = parsePairList(relisted);
        FUZZ_CHECK(again.valid);
        FUZZ_CHECK(again.pairs == parse.pairs);
    }

    // A last-error text that names what the caller passed: sized, then copied whole.
    const std::string error(reinterpret_cast<const char*>(data), std::min<size_t>(size, 600));
    const int needed = describeError(error, nullptr);
    if (error.empty()) {
        FUZZ_CHECK(needed == -1);
        return 0;
    }
    FUZZ_CHECK(needed == static_cast<int>(error.size() + 1));
    std::unique_ptr<char[]> text(new char[static_cast<size_t>(needed)]);
    FUZZ_CHECK(describeError(error, text.get()) == 0);
    FUZZ_CHECK(std::memcmp(text.get(), error.data(), error.size()) == 0 && text[error.size()] == '\0');
    return 0;
}
