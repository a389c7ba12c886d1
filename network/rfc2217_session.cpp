#include "rfc2217_session.h"

#include "telnet_codes.h"

namespace clser::network {
namespace {

using namespace telnet;

int slotOf(uint8_t option)
{
    switch (option) {
    case kOptionBinary:
        return 0;
    case kOptionSuppressGoAhead:
        return 1;
    case kOptionComPort:
        return 2;
    default:
        return -1;
    }
}

void appendCommand(std::string& out, uint8_t verb, uint8_t option)
{
    out += static_cast<char>(kIac);
    out += static_cast<char>(verb);
    out += static_cast<char>(option);
}

// IAC SB COM-PORT-OPTION <code> <value, IACs doubled> IAC SE
void appendComPortReply(std::string& out, uint8_t code, const uint8_t* value, std::size_t size)
{
    out += static_cast<char>(kIac);
    out += static_cast<char>(kSb);
    out += static_cast<char>(kOptionComPort);
    out += static_cast<char>(code);
    appendEscapedForClient(std::string_view(reinterpret_cast<const char*>(value), size), out);
    out += static_cast<char>(kIac);
    out += static_cast<char>(kSe);
}

void appendComPortReply(std::string& out, uint8_t code, uint8_t value) { appendComPortReply(out, code, &value, 1); }

constexpr uint8_t kModemStateInForce = kModemCarrierDetect | kModemDataSetReady | kModemClearToSend;
constexpr uint8_t kLineStateInForce = kLineShiftRegisterEmpty | kLineHoldingRegisterEmpty;
constexpr uint8_t kDataSizeInForce = 8;

} // namespace

void appendEscapedForClient(std::string_view bytes, std::string& out)
{
    for (char c : bytes) {
        out += c;
        if (static_cast<uint8_t>(c) == kIac)
            out += c;
    }
}

std::string Rfc2217Session::opening()
{
    std::string out;
    local_[kBinarySlot] = true;
    appendCommand(out, kWill, kOptionBinary);
    asked_[kBinarySlot] = true;
    appendCommand(out, kDo, kOptionBinary);
    return out;
}

void Rfc2217Session::feed(std::string_view input, std::string& data, std::string& replies)
{
    for (char c : input) {
        const uint8_t b = static_cast<uint8_t>(c);
        switch (state_) {
        case State::Data:
            if (b == kIac)
                state_ = State::Iac;
            else
                appendData(c, data);
            break;
        case State::Iac:
            if (b == kIac) {
                appendData(c, data);
                state_ = State::Data;
            } else {
                command(b, replies);
            }
            break;
        case State::Option:
            negotiate(verb_, b, replies);
            state_ = State::Data;
            break;
        case State::Sub:
            if (b == kIac) {
                state_ = State::SubIac;
            } else if (subSize_ < sub_.size()) {
                sub_[subSize_++] = b;
            } else {
                subOverflow_ = true;
            }
            break;
        case State::SubIac:
            if (b == kIac) {
                if (subSize_ < sub_.size())
                    sub_[subSize_++] = b;
                else
                    subOverflow_ = true;
                state_ = State::Sub;
            } else if (b == kSe) {
                if (!subOverflow_)
                    subnegotiation(replies);
                state_ = State::Data;
            } else {
                // A command inside a subnegotiation: the subnegotiation was cut short;
                // it is dropped and the command taken as it comes.
                command(b, replies);
            }
            break;
        }
    }
}

// A telnet client that does not send in BINARY ends a line with CR NUL when it means a
// bare CR; the camera gets the CR alone.
void Rfc2217Session::appendData(char c, std::string& data)
{
    const bool crNul = afterCr_ && c == '\0' && !remote_[kBinarySlot];
    afterCr_ = c == '\r';
    if (!crNul)
        data += c;
}

// The byte after an IAC outside a subnegotiation (never IAC itself).
void Rfc2217Session::command(uint8_t code, std::string&)
{
    switch (code) {
    case kWill:
    case kWont:
    case kDo:
    case kDont:
        verb_ = code;
        state_ = State::Option;
        break;
    case kSb:
        subSize_ = 0;
        subOverflow_ = false;
        state_ = State::Sub;
        break;
    default:
        // NOP, GO-AHEAD, a stray SE and the other commands mean nothing on this line.
        state_ = State::Data;
        break;
    }
}

// Answers only a request that changes an option's state, and refuses what this end
// does not support, so that two ends following RFC 854 never loop.
void Rfc2217Session::negotiate(uint8_t verb, uint8_t option, std::string& replies)
{
    const int slot = slotOf(option);
    switch (verb) {
    case kDo:
        if (slot < 0) {
            appendCommand(replies, kWont, option);
        } else if (!local_[slot]) {
            local_[slot] = true;
            appendCommand(replies, kWill, option);
        }
        break;
    case kDont:
        if (slot >= 0 && local_[slot]) {
            local_[slot] = false;
            appendCommand(replies, kWont, option);
        }
        break;
    case kWill:
        if (slot < 0) {
            appendCommand(replies, kDont, option);
        } else if (!remote_[slot]) {
            remote_[slot] = true;
            // The answer to this end's own DO needs none.
            if (!asked_[slot])
                appendCommand(replies, kDo, option);
            asked_[slot] = false;
            // The line's signals as they stand, once, so that a client can read them
            // without asking.
            if (slot == kComPortSlot)
                appendComPortReply(replies, kNotifyModemState + kServerOffset, kModemStateInForce & modemStateMask_);
        }
        break;
    case kWont:
        if (slot >= 0)
            asked_[slot] = false;
        if (slot >= 0 && remote_[slot]) {
            remote_[slot] = false;
            appendCommand(replies, kDont, option);
        }
        break;
    default:
        break;
    }
}

void Rfc2217Session::subnegotiation(std::string& replies)
{
    // Other options' subnegotiations are not ours to answer.
    if (subSize_ < 2 || sub_[0] != kOptionComPort)
        return;
    comPortCommand(sub_[1], sub_.data() + 2, subSize_ - 2, replies);
}

void Rfc2217Session::comPortCommand(uint8_t code, const uint8_t* value, std::size_t size, std::string& replies)
{
    const uint8_t answer = static_cast<uint8_t>(code + kServerOffset);
    switch (code) {
    case kSetBaudRate: {
        if (size != 4)
            return;
        const uint32_t asked = (uint32_t{value[0]} << 24) | (uint32_t{value[1]} << 16) | (uint32_t{value[2]} << 8) |
                               uint32_t{value[3]};
        const uint32_t inForce = owner_.setBaudRate(asked);
        const uint8_t be[4] = {static_cast<uint8_t>(inForce >> 24), static_cast<uint8_t>(inForce >> 16),
                               static_cast<uint8_t>(inForce >> 8), static_cast<uint8_t>(inForce)};
        appendComPortReply(replies, answer, be, sizeof be);
        return;
    }
    // The Camera Link serial line runs 8 data bits, no parity, 1 stop bit: every request,
    // and the query (0), is answered with that.
    case kSetDataSize:
        if (size == 1)
            appendComPortReply(replies, answer, kDataSizeInForce);
        return;
    case kSetParity:
        if (size == 1)
            appendComPortReply(replies, answer, kParityNone);
        return;
    case kSetStopSize:
        if (size == 1)
            appendComPortReply(replies, answer, kStopSizeOne);
        return;
    case kSetControl:
        if (size == 1) {
            const uint8_t inForce = controlAnswer(value[0]);
            if (inForce != 0)
                appendComPortReply(replies, answer, inForce);
        }
        return;
    case kNotifyLineState:
        appendComPortReply(replies, answer, kLineStateInForce & lineStateMask_);
        return;
    case kNotifyModemState:
        appendComPortReply(replies, answer, kModemStateInForce & modemStateMask_);
        return;
    case kSetLineStateMask:
        if (size == 1) {
            lineStateMask_ = value[0];
            appendComPortReply(replies, answer, lineStateMask_);
        }
        return;
    case kSetModemStateMask:
        if (size == 1) {
            modemStateMask_ = value[0];
            appendComPortReply(replies, answer, modemStateMask_);
        }
        return;
    case kPurgeData:
        if (size == 1 && value[0] >= 1 && value[0] <= 3) {
            owner_.purge(static_cast<PurgeKind>(value[0]));
            appendComPortReply(replies, answer, value[0]);
        }
        return;
    default:
        // FLOWCONTROL-SUSPEND and -RESUME: this end sends only what the camera sends;
        // unknown commands: nothing to say.
        return;
    }
}

// The SET-CONTROL value in force after a request; 0 for a value the option does not
// define (left unanswered). No flow control and no break exist on a Camera Link serial
// line; DTR and RTS are kept as the client sets them.
uint8_t Rfc2217Session::controlAnswer(uint8_t request)
{
    switch (request) {
    case kControlRequestFlow:
    case kControlNoFlow:
    case kControlXonXoffFlow:
    case kControlHardwareFlow:
    case kControlDcdFlow:
    case kControlDsrFlow:
        return kControlNoFlow;
    case kControlRequestBreak:
    case kControlBreakOn:
    case kControlBreakOff:
        return kControlBreakOff;
    case kControlDtrOn:
        dtr_ = true;
        return kControlDtrOn;
    case kControlDtrOff:
        dtr_ = false;
        return kControlDtrOff;
    case kControlRequestDtr:
        return dtr_ ? kControlDtrOn : kControlDtrOff;
    case kControlRtsOn:
        rts_ = true;
        return kControlRtsOn;
    case kControlRtsOff:
        rts_ = false;
        return kControlRtsOff;
    case kControlRequestRts:
        return rts_ ? kControlRtsOn : kControlRtsOff;
    case kControlRequestInboundFlow:
    case kControlNoInboundFlow:
    case kControlXonXoffInboundFlow:
    case kControlHardwareInboundFlow:
    case kControlDtrInboundFlow:
        return kControlNoInboundFlow;
    default:
        return 0;
    }
}

} // namespace clser::network
