// A console host for the bridge engine: joins one COM port to one Camera Link serial
// port and reports on the console what the main dialog would show. Commands on
// standard input: "echo" toggles the trace, "status" prints the state, "quit" ends.
//
//   bridge_demo.exe TARVCOM5 0 [9600,N,8,1] [--low-latency] [--NAME=MS ...] [NETWORK=...] [Record=MIB:FILE]
//                   [CLLIB=clserxyz.dll]
//
// A network word (as the launcher passes it, e.g. NETWORK=RAW:127.0.0.1:4001) serves
// the connection on that TCP endpoint instead of the COM port; a record word (as the
// launcher passes it, e.g. "Record=16:C:\Logs\com5.log") records its traffic. A library
// word (CLLIB=<file>) opens the port on another maker's library in the Camera Link library
// folder, its index counted within that library.
// The options choose the transfer mode and the waits of the transfer thread, so that a
// benchmark can vary them without another build (names: see kTimingOptions).
#include "bridge_controller.h"
#include "connection_settings.h"
#include "network_settings.h"
#include "program_path.h"
#include "traffic_record_settings.h"
#include "transfer_timings.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <thread>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>

namespace {

std::mutex outputLock;

void say(const std::string& line)
{
    std::lock_guard<std::mutex> lock(outputLock);
    std::printf("[bridge] %s\n", line.c_str());
    std::fflush(stdout);
}

class ConsoleTrace : public clser::TraceSink {
public:
    void addLine(std::string line) override { say("trace: " + line); }
};

class ConsoleUi : public clser::BridgeUi {
public:
    explicit ConsoleUi(const clser::BridgeController* controller = nullptr) : controller_(controller) {}
    void attach(const clser::BridgeController* c) { controller_ = c; }

    int showMessage(const std::string& text, const std::string& caption, unsigned) override
    {
        std::string flat = text;
        for (char& c : flat)
            if (c == '\n')
                c = ' ';
        say("message box [" + (caption.empty() ? std::string("ClserDunmere2") : caption) + "]: " + flat);
        return IDOK;
    }
    void updateStatus() override
    {
        if (!controller_)
            return;
        const auto& s = controller_->settings();
        char line[200];
        std::snprintf(line, sizeof line, "status: %s | %s<->Camera Link port %d | %u %s %u %s | Echo %s",
                      controller_->connected() ? "Connected" : "Not connected", s.userPortName.c_str(),
                      static_cast<int>(s.clPortIndex), static_cast<unsigned>(s.line.baudRate),
                      clser::parityLetter(s.line.parity), static_cast<unsigned>(s.line.dataBits),
                      clser::stopBitsLabel(s.line.stopBits), s.echo ? "on" : "off");
        say(line);
    }
    void setConnectMenus(bool) override {}
    void setTrayConnected(bool) override {}
    void handSettingsToPortDialog(const clser::ConnectionSettings&) override {}
    void startStatusTimer() override {}
    void stopStatusTimer() override {}
    clser::TraceSink* traceList() override { return &trace_; }

private:
    const clser::BridgeController* controller_;
    ConsoleTrace trace_;
};

struct TimingOption {
    const char* name;
    uint32_t clser::TransferTimings::*field;
    uint32_t clser::LowLatencyTimings::*lowLatencyField;
    uint32_t clser::network::EndpointTimings::*networkField = nullptr;
};

const TimingOption kTimingOptions[] = {
    {"com-read-ms", &clser::TransferTimings::comReadTimeoutMs, nullptr},
    {"com-read-sending-ms", &clser::TransferTimings::comReadWhileCameraSendsMs, nullptr},
    {"first-cl-read-ms", &clser::TransferTimings::firstClReadTimeoutMs, nullptr},
    {"com-write-retry-delay-ms", &clser::TransferTimings::comWriteRetryDelayMs, nullptr},
    {"ll-poll-ms", nullptr, &clser::LowLatencyTimings::pollMs},
    {"ll-fast-window-ms", nullptr, &clser::LowLatencyTimings::fastWindowMs},
    {"ll-idle-poll-ms", nullptr, &clser::LowLatencyTimings::idlePollMs},
    {"net-stalled-client-ms", nullptr, nullptr, &clser::network::EndpointTimings::stalledClientMs},
    {"net-half-closed-quiet-ms", nullptr, nullptr, &clser::network::EndpointTimings::halfClosedQuietMs},
    {"net-keepalive-idle-ms", nullptr, nullptr, &clser::network::EndpointTimings::keepaliveIdleMs},
    {"net-keepalive-interval-ms", nullptr, nullptr, &clser::network::EndpointTimings::keepaliveIntervalMs},
};

// "--NAME=MS" into the timings; false for an unknown name or a value that is no number.
bool applyTimingOption(const std::string& option, clser::TransferTimings& t)
{
    const size_t eq = option.find('=');
    if (option.rfind("--", 0) != 0 || eq == std::string::npos || eq + 1 == option.size())
        return false;
    const std::string name = option.substr(2, eq - 2);
    char* end = nullptr;
    const unsigned long value = std::strtoul(option.c_str() + eq + 1, &end, 10);
    if (*end != '\0' || value > 600000)
        return false;
    for (const TimingOption& o : kTimingOptions) {
        if (name != o.name)
            continue;
        if (o.field)
            t.*o.field = static_cast<uint32_t>(value);
        else if (o.lowLatencyField)
            t.lowLatency.*o.lowLatencyField = static_cast<uint32_t>(value);
        else
            t.network.*o.networkField = static_cast<uint32_t>(value);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    const char* usage =
        "usage: bridge_demo TARVCOMn clPortIndex [lineSettings] [--low-latency] [--NAME=MS ...] [NETWORK=...] "
        "[Record=MIB:FILE] [CLLIB=FILE]\n";
    if (argc < 3) {
        std::fprintf(stderr, "%s", usage);
        return 2;
    }
    const std::string bridgePort = argv[1];
    std::string lineSettings;
    bool lowLatency = false;
    std::optional<clser::network::NetworkSettings> network;
    std::optional<clser::TrafficRecordSettings> record;
    clser::TransferTimings timings;
    std::string clLibrary;
    const std::string libraryWord = clser::profile::kClLibraryWord;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(libraryWord, 0) == 0) {
            clLibrary = arg.substr(libraryWord.size());
        } else if (clser::isRecordWord(arg)) {
            clser::TrafficRecordParse parsed = clser::parseRecordWord(arg, clser::directoryOf(clser::modulePath()));
            if (!parsed.configured) {
                std::fprintf(stderr, "bridge_demo: %s\n", parsed.error.c_str());
                return 2;
            }
            parsed.settings.programVersion = "bridge_demo";
            record = parsed.settings;
        } else if (clser::network::isNetworkWord(arg)) {
            const clser::network::NetworkSettingsParse parsed = clser::network::parseNetworkWord(arg);
            if (!parsed.error.empty()) {
                std::fprintf(stderr, "bridge_demo: %s\n", parsed.error.c_str());
                return 2;
            }
            network = parsed.settings;
        } else if (arg == "--low-latency") {
            lowLatency = true;
        } else if (arg.rfind("--", 0) == 0) {
            if (!applyTimingOption(arg, timings)) {
                std::fprintf(stderr, "bridge_demo: unknown option or bad value: %s\n%s", arg.c_str(), usage);
                return 2;
            }
        } else {
            lineSettings = arg;
        }
    }

    ConsoleUi ui;
    clser::BridgeController controller(ui, std::nullopt, timings);
    ui.attach(&controller);
    auto& s = controller.settings();
    s.bridgePortName = bridgePort;
    s.userPortName = bridgePort.rfind("TARV", 0) == 0 ? bridgePort.substr(4) : bridgePort;
    s.clPortIndex = std::atoi(argv[2]);
    s.clLibrary = clLibrary;
    s.lowLatency = lowLatency;
    s.network = network;
    s.record = record;
    if (!lineSettings.empty()) {
        std::string upper = lineSettings;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        s.setLine(clser::parseLineSettings(upper));
    }

    if (!controller.connectBridge()) {
        say("not connected");
        return 1;
    }
    say("connected: " +
        (network ? clser::network::networkWord(*network) : "\\\\.\\" + bridgePort) +
        " <-> Camera Link serial port " + std::to_string(s.clPortIndex));

    // Commands arrive on their own thread; this one runs the once-a-second watch.
    std::mutex commandsLock;
    std::deque<std::string> commands;
    std::thread reader([&] {
        std::string line;
        while (std::getline(std::cin, line)) {
            std::lock_guard<std::mutex> lock(commandsLock);
            commands.push_back(line);
        }
        std::lock_guard<std::mutex> lock(commandsLock);
        commands.push_back("quit");
    });
    reader.detach();

    for (int tick = 1;; ++tick) {
        Sleep(100);
        std::string command;
        {
            std::lock_guard<std::mutex> lock(commandsLock);
            if (!commands.empty()) {
                command = commands.front();
                commands.pop_front();
            }
        }
        if (command == "quit")
            break;
        if (command == "echo") {
            controller.toggleEcho();
            ui.updateStatus();
        } else if (command == "status") {
            ui.updateStatus();
        }
        if (tick % 10 == 0) {
            controller.onStatusTimer();
            if (!controller.connected())
                break;
        }
    }
    controller.disconnectBridge();
    say("disconnected");
    return 0;
}
