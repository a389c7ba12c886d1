// Byte strings of telnet commands and COM-PORT-OPTION subnegotiations, written out
// byte for byte for the tables of the session tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace clser::test {

inline constexpr int IAC = 255, SB = 250, SE = 240, WILL = 251, WONT = 252, DO = 253, DONT = 254;
inline constexpr int COM_PORT = 44, BINARY = 0, ECHO_OPTION = 1, SGA = 3, TERMINAL_TYPE = 24;

inline std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

inline std::string negotiation(int verb, int option) { return bytes({IAC, verb, option}); }

// IAC SB COM-PORT-OPTION code <value as given, no escaping added> IAC SE
inline std::string comPort(int code, std::initializer_list<int> value = {})
{
    return bytes({IAC, SB, COM_PORT, code}) + bytes(value) + bytes({IAC, SE});
}

} // namespace clser::test
