// One client's telnet stream with the COM-PORT-OPTION (RFC 2217), as the server end of
// a serial line sees it. Fed with the bytes the client sends, it yields the data bytes
// meant for the camera (doubled IACs undoubled, commands removed) and the replies for
// the client, and asks its owner to act on the requests that reach the Camera Link
// line. No Windows call and no I/O here: the owner moves the bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace clser::network {

// What a purge request clears (the values of PURGE-DATA).
enum class PurgeKind : uint8_t {
    ReceiveBuffer = 1,   // data from the client not yet given to the camera
    TransmitBuffer = 2,  // camera data not yet sent to the client
    BothBuffers = 3,
};

// The requests a client makes that the owner acts on.
class Rfc2217Requests {
public:
    virtual ~Rfc2217Requests() = default;
    // The client asks for a line rate in bits per second; 0 only asks which rate is in
    // force. Returns the rate in force afterwards, which the client is told.
    virtual uint32_t setBaudRate(uint32_t bitsPerSecond) = 0;
    virtual void purge(PurgeKind what) = 0;
};

class Rfc2217Session {
public:
    // A subnegotiation longer than this is discarded whole; the longest the
    // COM-PORT-OPTION defines (SET-BAUDRATE) has 6 bytes between SB and SE.
    static constexpr std::size_t kMaxSubnegotiation = 32;

    explicit Rfc2217Session(Rfc2217Requests& owner) : owner_(owner) {}

    // What this end sends a client first: it offers to send in BINARY and asks the client
    // to do the same, so that a client that agrees (pyserial's does) sends its bytes as
    // they are; until one does, its CR NUL is taken as a bare CR.
    std::string opening();

    // Takes the next bytes from the client, in any split. Data bytes for the camera are
    // appended to data (never more than input.size()), replies for the client to
    // replies (a few bytes for each complete command in the input).
    void feed(std::string_view input, std::string& data, std::string& replies);

    // Whether each side has agreed to the COM-PORT-OPTION.
    bool serverComPortEnabled() const { return local_[kComPortSlot]; }
    bool clientComPortEnabled() const { return remote_[kComPortSlot]; }

private:
    enum class State { Data, Iac, Option, Sub, SubIac };
    // The options this end takes part in, by slot.
    static constexpr int kBinarySlot = 0;
    static constexpr int kSuppressGoAheadSlot = 1;
    static constexpr int kComPortSlot = 2;
    static constexpr int kSlots = 3;

    void appendData(char c, std::string& data);
    void command(uint8_t code, std::string& replies);
    void negotiate(uint8_t verb, uint8_t option, std::string& replies);
    void subnegotiation(std::string& replies);
    void comPortCommand(uint8_t code, const uint8_t* value, std::size_t size, std::string& replies);
    uint8_t controlAnswer(uint8_t request);

    Rfc2217Requests& owner_;
    State state_ = State::Data;
    uint8_t verb_ = 0;
    std::array<uint8_t, kMaxSubnegotiation> sub_{};
    std::size_t subSize_ = 0;
    bool subOverflow_ = false;
    std::array<bool, kSlots> local_{};   // this end WILL
    std::array<bool, kSlots> remote_{};  // the client WILL
    std::array<bool, kSlots> asked_{};   // this end sent DO and awaits the answer
    // The last data byte was a CR: until the client sends in BINARY, the NUL a telnet
    // client sends after a bare CR is no data.
    bool afterCr_ = false;
    // Signal lines with nothing behind them on a Camera Link line: kept so that a
    // client reads back what it set.
    bool dtr_ = true;
    bool rts_ = true;
    uint8_t lineStateMask_ = 0;
    uint8_t modemStateMask_ = 255;
};

// The camera's bytes as the client must receive them in RFC 2217 mode: every IAC
// doubled; appended to out (at most 2 * bytes.size() characters).
void appendEscapedForClient(std::string_view bytes, std::string& out);

} // namespace clser::network
