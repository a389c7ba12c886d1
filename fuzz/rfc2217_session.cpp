// The RFC 2217 session over any bytes a client may send, in any split: the first byte
// chooses the size of the pieces fed. Checks beyond the sanitizers: the pieces give what
// the whole gives, data never outgrows the input, replies stay within a few bytes per
// command, every rate answered is one the owner gave, and camera bytes escaped for a
// client read back unchanged through a fresh session that agreed to BINARY.
#include "baud_rate_choice.h"
#include "fuzz_check.h"
#include "line_rates.h"
#include "rfc2217_session.h"

#include <string>
#include <string_view>

using namespace clser::network;

namespace {

class Owner : public Rfc2217Requests {
public:
    uint32_t setBaudRate(uint32_t bitsPerSecond) override
    {
        inForce = rateAfterRequest(bitsPerSecond, inForce);
        FUZZ_CHECK(clser::clBaudCodeForRate(inForce) != 0);
        return inForce;
    }
    void purge(PurgeKind what) override
    {
        const int kind = static_cast<int>(what);
        FUZZ_CHECK(kind >= 1 && kind <= 3);
        ++purges;
    }
    uint32_t inForce = 9600;
    int purges = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t piece = 1 + bytes[0] % 16;
    const std::string_view input(reinterpret_cast<const char*>(bytes + 1), size - 1);

    Owner wholeOwner;
    Rfc2217Session whole(wholeOwner);
    std::string data, replies;
    whole.feed(input, data, replies);
    FUZZ_CHECK(data.size() <= input.size());
    // The longest reply (a rate of four IACs) is 14 bytes and takes at least 3 bytes.
    FUZZ_CHECK(replies.size() <= input.size() / 3 * 14 + 14);

    Owner piecesOwner;
    Rfc2217Session pieces(piecesOwner);
    std::string piecesData, piecesReplies;
    for (std::size_t at = 0; at < input.size(); at += piece)
        pieces.feed(input.substr(at, piece), piecesData, piecesReplies);
    FUZZ_CHECK(piecesData == data);
    FUZZ_CHECK(piecesReplies == replies);
    FUZZ_CHECK(piecesOwner.inForce == wholeOwner.inForce && piecesOwner.purges == wholeOwner.purges);

    std::string escaped;
    appendEscapedForClient(input, escaped);
    FUZZ_CHECK(escaped.size() <= 2 * input.size());
    // Bytes pass as they are once the client sends in BINARY, as the session asks it to.
    Owner echoOwner;
    Rfc2217Session echo(echoOwner);
    echo.opening();
    std::string echoData, echoReplies;
    echo.feed(std::string_view("\xff\xfb\x00", 3), echoData, echoReplies);
    echo.feed(escaped, echoData, echoReplies);
    FUZZ_CHECK(echoData == input);
    FUZZ_CHECK(echoReplies.empty());
    return 0;
}
