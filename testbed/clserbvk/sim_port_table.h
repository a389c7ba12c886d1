// The simulated library's state: the configured ports and the references handed out
// for them. References are numbers that are never handed out twice, so a closed or
// made-up reference is recognised instead of being followed. The claim that makes an
// open port "in use" for other processes comes from outside (a named kernel object in
// the DLL), which keeps this class plain C++.
#pragma once

#include "sim_config.h"
#include "sim_port.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace clser::sim {

// Held while a port is open; releasing it frees the port for others.
class PortClaim {
public:
    virtual ~PortClaim() = default;
};

// Claims port `index` within `scope` (the configuration's machine); null when someone holds it.
using PortClaimer = std::function<std::unique_ptr<PortClaim>(const std::string& scope, uint32_t index)>;

// A configuration and where it came from.
struct ConfigSource {
    std::string identity;   // equal identities mean the same configuration
    std::string scope;      // processes with the same scope share their ports' "in use" state
    SimConfig config;
};

struct ClosedPort {
    uint32_t index = 0;
    uint32_t receiveBuffer = 0;
    PortTotals totals;
};

class SimPortTable {
public:
    explicit SimPortTable(PortClaimer claimer) : claimer_(std::move(claimer)) {}

    // While no port is open, takes the configuration that `load` returns, unless it is
    // the one in use already (then the cameras keep the values set on them). Returns
    // true when the configuration was replaced.
    bool refreshWhenIdle(const std::function<ConfigSource()>& load);

    uint32_t portCount() const;

    int32_t init(uint32_t index, void** reference);
    int32_t setBaudRate(void* reference, uint32_t constant);
    // The baud-rate constants the port of an open reference accepts, one bit each.
    int32_t supportedBaudRates(void* reference, uint32_t* constants);
    int32_t read(void* reference, int8_t* buffer, uint32_t* count, uint32_t timeoutMs);
    int32_t write(void* reference, const int8_t* buffer, uint32_t* count, uint32_t timeoutMs);
    // `closed` (may be null) says which port it was and what it saw since it was opened,
    // when this close ended its last open reference (otherwise zeros). In strict mode a
    // close that overlaps another call on its reference still closes, and says so with
    // kSimErrCallsOverlap.
    int32_t close(void* reference, ClosedPort* closed = nullptr);

private:
    struct OpenPort {
        uint32_t index = 0;
        std::shared_ptr<SimPort> port;
        std::unique_ptr<PortClaim> claim;
        PortSession session;
        std::atomic<uint32_t> callsInProgress{0};   // calls on this reference not returned yet
    };
    class Call;

    std::shared_ptr<OpenPort> find(void* reference) const;
    template <typename Body>
    int32_t callOn(void* reference, Body body);

    PortClaimer claimer_;
    mutable std::mutex lock_;
    ConfigSource source_;
    bool configured_ = false;
    std::vector<std::shared_ptr<SimPort>> ports_;
    std::map<uintptr_t, std::shared_ptr<OpenPort>> open_;
    uintptr_t lastReference_ = 0x5100;
};

} // namespace clser::sim
