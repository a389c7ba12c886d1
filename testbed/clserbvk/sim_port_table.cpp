#include "sim_port_table.h"

#include "cl_serial_api.h"

namespace clser::sim {

bool SimPortTable::refreshWhenIdle(const std::function<ConfigSource()>& load)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (!open_.empty())
        return false;
    ConfigSource source = load();
    if (configured_ && source.identity == source_.identity)
        return false;
    source_ = std::move(source);
    configured_ = true;
    ports_.clear();
    for (const PortConfig& config : source_.config.ports)
        ports_.push_back(std::make_shared<SimPort>(config));
    return true;
}

uint32_t SimPortTable::portCount() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<uint32_t>(ports_.size());
}

int32_t SimPortTable::init(uint32_t index, void** reference)
{
    if (!reference)
        return CL_ERR_INVALID_REFERENCE;
    *reference = nullptr;
    std::lock_guard<std::mutex> guard(lock_);
    if (index >= ports_.size())
        return CL_ERR_INVALID_INDEX;
    const std::shared_ptr<SimPort>& port = ports_[index];
    const PortConfig& config = port->config();
    if (config.faults.portInUse)
        return CL_ERR_PORT_IN_USE;

    auto opened = std::make_shared<OpenPort>();
    if (config.exclusive) {
        for (const auto& [ref, other] : open_)
            if (other->index == index)
                return CL_ERR_PORT_IN_USE;
        opened->claim = claimer_(source_.scope, index);
        if (!opened->claim)
            return CL_ERR_PORT_IN_USE;
    }
    opened->index = index;
    opened->port = port;
    port->open(opened->session);

    lastReference_ += 0x10;
    open_.emplace(lastReference_, std::move(opened));
    *reference = reinterpret_cast<void*>(lastReference_);
    return CL_ERR_NO_ERR;
}

std::shared_ptr<SimPortTable::OpenPort> SimPortTable::find(void* reference) const
{
    std::lock_guard<std::mutex> guard(lock_);
    auto it = open_.find(reinterpret_cast<uintptr_t>(reference));
    return it == open_.end() ? nullptr : it->second;
}

// One call on a reference, from its entry to its return. A call that begins while another
// on the same reference has not returned overlaps it. The count is taken on entry, before
// the port's lock: that lock would make the second call wait and so hide the overlap.
class SimPortTable::Call {
public:
    explicit Call(OpenPort& opened)
        : opened_(opened), overlaps_(opened.callsInProgress.fetch_add(1) != 0 && opened.port->config().strict)
    {
        if (overlaps_)
            opened.port->countOverlap();
    }
    ~Call() { opened_.callsInProgress.fetch_sub(1); }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    bool overlaps() const { return overlaps_; }

private:
    OpenPort& opened_;
    const bool overlaps_;
};

template <typename Body>
int32_t SimPortTable::callOn(void* reference, Body body)
{
    auto opened = find(reference);
    if (!opened)
        return CL_ERR_INVALID_REFERENCE;
    Call call(*opened);
    return call.overlaps() ? kSimErrCallsOverlap : body(*opened->port, opened->session);
}

int32_t SimPortTable::setBaudRate(void* reference, uint32_t constant)
{
    return callOn(reference, [&](SimPort& port, PortSession& session) {
        return port.setBaudRate(session, constant);
    });
}

int32_t SimPortTable::supportedBaudRates(void* reference, uint32_t* constants)
{
    return callOn(reference, [&](SimPort& port, PortSession&) {
        *constants = port.config().baudRates;
        return CL_ERR_NO_ERR;
    });
}

int32_t SimPortTable::read(void* reference, int8_t* buffer, uint32_t* count, uint32_t timeoutMs)
{
    return callOn(reference, [&](SimPort& port, PortSession& session) {
        return port.read(session, buffer, count, timeoutMs);
    });
}

int32_t SimPortTable::write(void* reference, const int8_t* buffer, uint32_t* count, uint32_t timeoutMs)
{
    return callOn(reference, [&](SimPort& port, PortSession& session) {
        return port.write(session, buffer, count, timeoutMs);
    });
}

int32_t SimPortTable::close(void* reference, ClosedPort* closed)
{
    std::shared_ptr<OpenPort> opened = find(reference);
    if (!opened)
        return CL_ERR_INVALID_REFERENCE;
    // An overlapping close is counted and still closes: a caller has no other way to
    // free the port.
    Call call(*opened);
    std::lock_guard<std::mutex> guard(lock_);
    auto it = open_.find(reinterpret_cast<uintptr_t>(reference));
    if (it == open_.end())   // another close on this reference came first
        return call.overlaps() ? kSimErrCallsOverlap : CL_ERR_INVALID_REFERENCE;
    open_.erase(it);
    // A read or write in progress on another thread returns now; the port is free for
    // others before this call returns.
    PortTotals totals = opened->port->close(opened->session);
    if (closed)
        *closed = ClosedPort{opened->index, opened->port->config().receiveBuffer, totals};
    opened->claim.reset();
    return call.overlaps() ? kSimErrCallsOverlap : CL_ERR_NO_ERR;
}

} // namespace clser::sim
