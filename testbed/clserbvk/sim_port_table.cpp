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

int32_t SimPortTable::setBaudRate(void* reference, uint32_t constant)
{
    auto opened = find(reference);
    return opened ? opened->port->setBaudRate(opened->session, constant) : CL_ERR_INVALID_REFERENCE;
}

int32_t SimPortTable::read(void* reference, int8_t* buffer, uint32_t* count, uint32_t timeoutMs)
{
    auto opened = find(reference);
    return opened ? opened->port->read(opened->session, buffer, count, timeoutMs) : CL_ERR_INVALID_REFERENCE;
}

int32_t SimPortTable::write(void* reference, const int8_t* buffer, uint32_t* count, uint32_t timeoutMs)
{
    auto opened = find(reference);
    return opened ? opened->port->write(opened->session, buffer, count, timeoutMs) : CL_ERR_INVALID_REFERENCE;
}

int32_t SimPortTable::close(void* reference, ClosedPort* closed)
{
    std::lock_guard<std::mutex> guard(lock_);
    auto it = open_.find(reinterpret_cast<uintptr_t>(reference));
    if (it == open_.end())
        return CL_ERR_INVALID_REFERENCE;
    std::shared_ptr<OpenPort> opened = std::move(it->second);
    open_.erase(it);
    // A read or write in progress on another thread returns now; the port is free for
    // others before this call returns.
    uint64_t dropped = opened->port->close(opened->session);
    if (closed)
        *closed = ClosedPort{opened->index, opened->port->config().receiveBuffer, dropped};
    opened->claim.reset();
    return CL_ERR_NO_ERR;
}

} // namespace clser::sim
