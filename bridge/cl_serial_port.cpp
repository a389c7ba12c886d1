#include "cl_serial_port.h"

namespace clser {

void ClSerialPort::closeReference()
{
    if (ref_)
        library_->serialClose(ref_);
    ref_ = nullptr;
}

int ClSerialPort::open(uint32_t index, uint32_t clBaudCode)
{
    const ClSerialLibraryLoad own = loadOwnClSerialLibrary();
    if (!own.library) {
        close();
        return own.status;
    }
    return open(*own.library, index, clBaudCode);
}

int ClSerialPort::open(const ClSerialLibrary& library, uint32_t index, uint32_t clBaudCode)
{
    CriticalSectionLock lock(lock_);
    // One port at a time: a reference still held is closed first.
    closeReference();
    library_ = &library;
    void* ref = nullptr;
    const int status = library.serialInit(index, &ref);
    if (status < 0)
        return status;
    ref_ = ref;
    return setBaudRateLocked(clBaudCode);
}

int ClSerialPort::setBaudRateLocked(uint32_t clBaudCode)
{
    if (!ref_)
        return CL_ERR_INVALID_REFERENCE;
    const std::optional<uint32_t> rates = library_->supportedBaudRates(ref_);
    if (rates && !(*rates & clBaudCode))
        return CL_ERR_BAUD_RATE_NOT_SUPPORTED;
    return library_->setBaudRate(ref_, clBaudCode);
}

int ClSerialPort::setBaudRate(uint32_t clBaudCode)
{
    CriticalSectionLock lock(lock_);
    return setBaudRateLocked(clBaudCode);
}

bool ClSerialPort::flush()
{
    CriticalSectionLock lock(lock_);
    return ref_ && library_->flush(ref_);
}

int ClSerialPort::read(uint8_t* buffer, uint32_t& count, uint32_t timeoutMs)
{
    CriticalSectionLock lock(lock_);
    if (!ref_)
        return CL_ERR_INVALID_REFERENCE;
    uint32_t n = count;
    const int status = library_->serialRead(ref_, reinterpret_cast<int8_t*>(buffer), &n, timeoutMs);
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
            status = ref_ ? library_->serialWrite(ref_, reinterpret_cast<int8_t*>(const_cast<uint8_t*>(buffer + sent)),
                                                  &n, kWriteTimeoutMs)
                          : CL_ERR_INVALID_REFERENCE;
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
    return ref_ != nullptr;
}

std::optional<uint32_t> ClSerialPort::supportedBaudRates() const
{
    CriticalSectionLock lock(lock_);
    if (!ref_)
        return std::nullopt;
    return library_->supportedBaudRates(ref_);
}

std::string ClSerialPort::errorText(int status) const
{
    CriticalSectionLock lock(lock_);
    return library_ && status != kShortWrite ? library_->errorText(status) : std::string();
}

int ClSerialPort::close()
{
    CriticalSectionLock lock(lock_);
    // The library's status of the close is of no use to the caller.
    closeReference();
    return 0;
}

} // namespace clser
