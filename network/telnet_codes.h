// The telnet commands and options (RFC 854, RFC 855, RFC 856, RFC 858) and the
// COM-PORT-OPTION's commands (RFC 2217) that a client of the network port uses.
#pragma once

#include <cstdint>

namespace clser::network::telnet {

inline constexpr uint8_t kSe = 240;   // end of subnegotiation
inline constexpr uint8_t kNop = 241;
inline constexpr uint8_t kSb = 250;   // start of subnegotiation
inline constexpr uint8_t kWill = 251;
inline constexpr uint8_t kWont = 252;
inline constexpr uint8_t kDo = 253;
inline constexpr uint8_t kDont = 254;
inline constexpr uint8_t kIac = 255;  // interpret as command; doubled in data

inline constexpr uint8_t kOptionBinary = 0;
inline constexpr uint8_t kOptionEcho = 1;
inline constexpr uint8_t kOptionSuppressGoAhead = 3;
inline constexpr uint8_t kOptionComPort = 44;

// Client-to-server commands of the COM-PORT-OPTION; the server answers with the same
// command plus kServerOffset.
inline constexpr uint8_t kSetBaudRate = 1;
inline constexpr uint8_t kSetDataSize = 2;
inline constexpr uint8_t kSetParity = 3;
inline constexpr uint8_t kSetStopSize = 4;
inline constexpr uint8_t kSetControl = 5;
inline constexpr uint8_t kNotifyLineState = 6;
inline constexpr uint8_t kNotifyModemState = 7;
inline constexpr uint8_t kFlowControlSuspend = 8;
inline constexpr uint8_t kFlowControlResume = 9;
inline constexpr uint8_t kSetLineStateMask = 10;
inline constexpr uint8_t kSetModemStateMask = 11;
inline constexpr uint8_t kPurgeData = 12;
inline constexpr uint8_t kServerOffset = 100;

// SET-CONTROL values.
inline constexpr uint8_t kControlRequestFlow = 0;
inline constexpr uint8_t kControlNoFlow = 1;
inline constexpr uint8_t kControlXonXoffFlow = 2;
inline constexpr uint8_t kControlHardwareFlow = 3;
inline constexpr uint8_t kControlRequestBreak = 4;
inline constexpr uint8_t kControlBreakOn = 5;
inline constexpr uint8_t kControlBreakOff = 6;
inline constexpr uint8_t kControlRequestDtr = 7;
inline constexpr uint8_t kControlDtrOn = 8;
inline constexpr uint8_t kControlDtrOff = 9;
inline constexpr uint8_t kControlRequestRts = 10;
inline constexpr uint8_t kControlRtsOn = 11;
inline constexpr uint8_t kControlRtsOff = 12;
inline constexpr uint8_t kControlRequestInboundFlow = 13;
inline constexpr uint8_t kControlNoInboundFlow = 14;
inline constexpr uint8_t kControlXonXoffInboundFlow = 15;
inline constexpr uint8_t kControlHardwareInboundFlow = 16;
inline constexpr uint8_t kControlDcdFlow = 17;
inline constexpr uint8_t kControlDtrInboundFlow = 18;
inline constexpr uint8_t kControlDsrFlow = 19;

// SET-PARITY and SET-STOPSIZE values in force on a Camera Link serial line.
inline constexpr uint8_t kParityNone = 1;
inline constexpr uint8_t kStopSizeOne = 1;

// NOTIFY-MODEMSTATE bits: the camera is always there, so carrier, data set ready and
// clear to send are reported asserted.
inline constexpr uint8_t kModemCarrierDetect = 0x80;
inline constexpr uint8_t kModemDataSetReady = 0x20;
inline constexpr uint8_t kModemClearToSend = 0x10;
// NOTIFY-LINESTATE bits: both transmit registers empty, nothing pending.
inline constexpr uint8_t kLineShiftRegisterEmpty = 0x40;
inline constexpr uint8_t kLineHoldingRegisterEmpty = 0x20;

} // namespace clser::network::telnet
