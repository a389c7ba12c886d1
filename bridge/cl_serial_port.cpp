#include "cl_serial_port.h"

#include "cl_serial_api.h"

namespace clser {

void detail::clSerialCloseReference(void* ref) noexcept { clSerialClose(ref); }

int ClSerialPort::open(uint32_t index, uint32_t clBaudCode)
{
    CriticalSectionLock lock(lock_);
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
    CriticalSectionLock lock(lock_);
    return clSetBaudRate(ref_.get(), clBaudCode);
}

int ClSerialPort::read(uint8_t* buffer, uint32_t& count, uint32_t timeoutMs)
{
    CriticalSectionLock lock(lock_);
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
    uint32_t sent = 0;
    do {
        const uint32_t slice = count - sent < kWriteSliceBytes ? count - sent : kWriteSliceBytes;
        uint32_t n = slice;
        int status;
        {
            CriticalSectionLock lock(lock_);
            // The library's interface takes a non-const buffer but only reads it.
            status = clSerialWrite(ref_.get(), reinterpret_cast<int8_t*>(const_cast<uint8_t*>(buffer + sent)), &n,
                                   kWriteTimeoutMs);
        }
        // A refused first slice stores nothing, as a refused write; a later one keeps
        // what went before.
        if (status < 0) {
            if (sent > 0)
                written = sent;
            return status;
        }
        sent += n < slice ? n : slice;
        if (n < slice) {
            written = sent;
            return kShortWrite;
        }
    } while (sent < count);
    written = sent;
    return 0;
}

bool ClSerialPort::holdsReference() const
{
    CriticalSectionLock lock(lock_);
    return ref_.valid();
}

int ClSerialPort::close()
{
    CriticalSectionLock lock(lock_);
    // The library's status of the close is of no use to the caller.
    ref_.reset();
    return 0;
}

} // namespace clser
