// Configuration of the simulated camera: how many Camera Link serial ports it offers
// and, per port, how its camera answers and which faults it injects. Plain values and
// a text parser; nothing here touches Windows.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace clser::sim {

// Faults a port injects on purpose, so that callers' failure paths can be exercised.
// Counters are per open of the port: "every 3rd write" counts writes since clSerialInit.
struct PortFaults {
    bool portInUse = false;           // clSerialInit fails with CL_ERR_PORT_IN_USE
    uint32_t shortWriteEvery = 0;     // every Nth write accepts only part (0 = never)
    uint32_t shortWriteBytes = 0;     // bytes such a write accepts (0 = half, rounded down)
    uint32_t readErrorEvery = 0;      // every Nth read fails with readErrorCode (0 = never)
    int32_t readErrorCode = -1;
    uint32_t writeErrorEvery = 0;     // every Nth write fails with writeErrorCode (0 = never)
    int32_t writeErrorCode = -1;      // CL_ERR_TIMEOUT here makes the write wait its time-out first
};

// Bytes the frame grabber holds of what the camera sent and the host has not read yet.
constexpr uint32_t kDefaultReceiveBuffer = 4096;

struct PortConfig {
    std::string terminator = "\r";                 // ends a command
    std::string ignore;                            // bytes dropped from commands (e.g. "\n")
    std::map<std::string, std::string> commands;   // command -> exact answer bytes
    std::map<std::string, std::string> params;     // settable value: name -> initial value
    std::map<std::string, uint32_t> dumps;         // dump command: name -> default byte count
    std::string unknownAnswer = "ERR\r\n";         // answer to a command that is not known
    std::string okAnswer = "OK\r\n";               // answer to setting a value
    std::string replyEnd = "\r\n";                 // follows a value that is read back
    bool echo = false;                             // send every received byte straight back
    uint32_t answerDelayMs = 0;                    // time from a command's terminator to its answer
    uint32_t baudRates = 0xFF;                     // accepted baud-rate constants, one bit each
    bool pace = false;                             // send answers at the line rate (10 bits a byte)
    uint32_t pauseEvery = 0;                       // an answer pauses after every this many bytes (0 = never)
    uint32_t pauseMs = 1;                          // for this long, as a camera handing its line piece by piece
    bool exclusive = true;                         // an open port is in use for every other open
    std::string receiveLog;                        // file that gets every received byte appended
    uint32_t receiveBuffer = kDefaultReceiveBuffer; // grabber's buffer towards the host (0 = unbounded)
    std::string overflowLog;                       // file that holds the count of bytes the full buffer dropped
    std::string rateLog;                           // file that holds the line rate last set, in bits per second
    bool tickTimeouts = false;                     // a read's time-out ends at a system tick boundary
    bool strict = true;                            // a call that overlaps another on its reference fails
    std::string overlapLog;                        // file that holds the count of overlapping calls
    PortFaults faults;
};

struct SimConfig {
    std::vector<PortConfig> ports;
};

struct ConfigParseResult {
    SimConfig config;
    std::vector<std::string> errors;   // "line N: ..." ; empty when the text was accepted
    bool ok() const { return errors.empty(); }
};

// Largest port count and dump size the simulation accepts.
constexpr uint32_t kMaxPorts = 64;
constexpr uint32_t kMaxDumpBytes = 16u << 20;

// Parses a configuration text (format: see README section "Simulated camera").
ConfigParseResult parseSimConfig(std::string_view text);

// The configuration used without a configuration file, as text in the same format.
std::string_view defaultConfigText();
SimConfig defaultSimConfig();

// Turns the escapes \r \n \t \\ \xNN into bytes; false on an unknown or short escape.
bool unescapeConfigText(std::string_view text, std::string* out);

// Baud-rate constant of the Camera Link standard (1 ... 128) and the bits per second it means;
// 0 for anything that is not one of the eight constants.
uint32_t bitsPerSecondOfBaudConstant(uint32_t constant);

} // namespace clser::sim
