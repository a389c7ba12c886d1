// The simulated camera as the bridge tests see it: one port per behaviour.
#pragma once

#include <string>

namespace clser::test {

enum CameraPort : int {
    kAnsweringCamera = 0,  // command table: PING -> PONG
    kSlowCamera = 1,       // the same, answering 4 s after a command; logs what it receives
    kEchoCamera = 2,       // sends every byte straight back; logs what it receives
    kSlowLineCamera = 3,   // accepts only 9600 baud
    kShortWriteCamera = 4, // takes only part of every write
    kReadErrorCamera = 5,  // every read fails
    kLateCamera = 6,       // PING -> PONG, answering 50 ms after a command
    kStreamingCamera = 7,  // sends at the line rate, in pieces, into a finite receive
                           // buffer: DUMP 64 KiB, STREAM 16 MiB; counts what overflows
    kWriteErrorCamera = 8, // echo; every 4th write fails with -10006
    kLineEchoCamera = 9,   // sends every byte back at the line rate into a finite receive
                           // buffer; logs what it receives (as the echo camera)
    // The same cameras behind a library whose read time-outs end on a system tick.
    kTickAnsweringCamera = 10,
    kTickLineEchoCamera = 11,
    kTickStreamingCamera = 12,
};

// The cameras behind another maker's library (clserlrk.dll, in the Camera Link library
// folder), which runs at five of the eight rates: no 57600, 230400 or 460800.
inline constexpr char kOtherMakerLibrary[] = "clserlrk.dll";
enum OtherMakerCameraPort : int {
    kOtherAnsweringCamera = 0,  // PING -> PONG
    kOtherStreamingCamera = 1,  // as kStreamingCamera
    kOtherLineEchoCamera = 2,   // as kLineEchoCamera
    kOtherWriteErrorCamera = 3, // echo; every 4th write fails with -10006
};

constexpr int kDumpBytes = 65536;

// Where the cameras log what they receive, and the streaming camera its overflow count.
const std::string& echoCameraReceiveLog();
const std::string& slowCameraReceiveLog();
const std::string& streamingCameraOverflowLog();

// A camera that sends at the line rate, in pieces, into a finite receive buffer.
inline std::string streamingCamera(const std::string& section)
{
    return section +
           "pace = yes\n"
           // Room for about 90 ms of the line at 921600 baud: less than one pass that
           // waits its whole COM read, and ample for a bridge that keeps reading the
           // camera while it sends, even on a busy test machine.
           "receive_buffer = 8192\n"
           // Its answers leave in pieces of 4 KiB with the line quiet for 1 ms between
           // them, as a camera handing its serial line one buffer at a time.
           "pause_every = 4096\n"
           "pause_ms = 1\n"
           "overflow_log = " + streamingCameraOverflowLog() + "\n"
           "dump DUMP = 65536\n"
           "dump STREAM = 16777216\n";
}

// A camera that sends every byte back at the line rate, into a finite receive buffer
// with room for about 170 ms of the line at 921600 baud.
inline std::string lineEchoCamera(const std::string& section)
{
    return section +
           "echo = 1\n"
           "pace = yes\n"
           "receive_buffer = 16384\n"
           "receive_log = " + echoCameraReceiveLog() + "\n";
}

inline std::string bridgeCameraConfig()
{
    return "ports = 13\n"
           "[port0]\n"
           "cmd PING = PONG\\r\\n\n"
           "[port1]\n"
           "cmd PING = PONG\\r\\n\n"
           "delay = 4000\n"
           "receive_log = " + slowCameraReceiveLog() + "\n"
           "[port2]\n"
           "echo = 1\n"
           "receive_log = " + echoCameraReceiveLog() + "\n"
           "[port3]\n"
           "baud_rates = 1\n"
           "[port4]\n"
           "short_write_every = 1\n"
           "[port5]\n"
           "read_error_every = 1\n"
           "read_error_code = -10006\n"
           "[port6]\n"
           "cmd PING = PONG\\r\\n\n"
           "delay = 50\n" +
           streamingCamera("[port7]\n") +
           "[port8]\n"
           "echo = 1\n"
           "write_error_every = 4\n"
           "write_error_code = -10006\n" +
           lineEchoCamera("[port9]\n") +
           "[port10]\n"
           "tick_timeouts = yes\n"
           "cmd PING = PONG\\r\\n\n" +
           lineEchoCamera("[port11]\ntick_timeouts = yes\n") +
           streamingCamera("[port12]\ntick_timeouts = yes\n");
}

inline std::string otherMakerCameraConfig()
{
    return "baud_rates = 9600, 19200, 38400, 115200, 921600\n"
           "ports = 4\n"
           "[port0]\n"
           "cmd PING = PONG\\r\\n\n" +
           streamingCamera("[port1]\n") + lineEchoCamera("[port2]\n") +
           "[port3]\n"
           "echo = 1\n"
           "write_error_every = 4\n"
           "write_error_code = -10006\n";
}

} // namespace clser::test
