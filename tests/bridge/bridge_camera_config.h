// The simulated camera as the bridge tests see it: one port per behaviour.
#pragma once

#include <string>

namespace clser::test {

enum CameraPort : int {
    kAnsweringCamera = 0,  // command table: PING -> PONG, dump DUMP
    kSlowCamera = 1,       // the same, answering 4 s after a command
    kEchoCamera = 2,       // sends every byte straight back; logs what it receives
    kSlowLineCamera = 3,   // accepts only 9600 baud
    kShortWriteCamera = 4, // takes only part of every write
    kReadErrorCamera = 5,  // every read fails
    kLateCamera = 6,       // PING -> PONG, answering 50 ms after a command
};

constexpr int kDumpBytes = 65536;

inline const char* bridgeCameraConfig(const char* receiveLogPath)
{
    static std::string text;
    text = std::string("ports = 7\n"
                       "[port0]\n"
                       "cmd PING = PONG\\r\\n\n"
                       "dump DUMP = 65536\n"
                       "[port1]\n"
                       "cmd PING = PONG\\r\\n\n"
                       "delay = 4000\n"
                       "[port2]\n"
                       "echo = 1\n"
                       "receive_log = ") +
           receiveLogPath +
           "\n"
           "[port3]\n"
           "baud_rates = 1\n"
           "[port4]\n"
           "short_write_every = 1\n"
           "[port5]\n"
           "read_error_every = 1\n"
           "read_error_code = -10006\n"
           "[port6]\n"
           "cmd PING = PONG\\r\\n\n"
           "delay = 50\n";
    return text.c_str();
}

} // namespace clser::test

namespace clser::test {
// Where the echoing camera logs what it receives.
const std::string& echoCameraReceiveLog();
} // namespace clser::test
