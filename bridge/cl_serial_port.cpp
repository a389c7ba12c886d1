#include "cl_serial_port.h"

#include "cl_serial_api.h"

namespace clser {

void detail::clSerialCloseReference(void* ref) noexcept { clSerialClose(ref); }

int ClSerialPort::open(uint32_t index, uint32_t clBaudCode)
{
    // One port at a time: a reference still held is closed first.
    ref_.reset();
    void* ref = nullptr;
    const int status = clSerialInit(index, &ref);
    if (status < 0)
        return status;
    ref_.reset(ref);
    return clSetBaudRate(ref_.get(), clBaudCode);
}

int ClSerialPort::setBaudRate(uint32_t clBaudCode)
{
    return clSetBaudRate(ref_.get(), clBaudCode);
}

int ClSerialPort::read(uint8_t* buffer, uint32_t& count, uint32_t timeoutMs)
{
    uint32_t n = count;
    const int status = clSerialRead(ref_.get(), reinterpret_cast<int8_t*>(buffer), &n, timeoutMs);
    if (status >= 0 || status == CL_ERR_TIMEOUT) {
        count = n;
        return 0;
    }
    return status;
}

int ClSerialPort::write(const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    uint32_t n = count;
    // The library's interface takes a non-const buffer but only reads it.
    const int status =
        clSerialWrite(ref_.get(), reinterpret_cast<int8_t*>(const_cast<uint8_t*>(buffer)), &n, kWriteTimeoutMs);
    if (status < 0)
        return status;
    written = n;
    return n == count ? 0 : kShortWrite;
}

int ClSerialPort::close()
{
    // The library's status of the close is of no use to the caller.
    ref_.reset();
    return 0;
}

} // namespace clser
