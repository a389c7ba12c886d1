#include "com_port.h"

#include "com_wait_bound.h"
#include "windows_error_status.h"

#include <cerrno>

namespace clser {
namespace {

std::FILE* diagnosticStream = nullptr;

std::FILE* diag() { return diagnosticStream ? diagnosticStream : stdout; }

void diagLine(const char* format, unsigned long a, unsigned long b = 0, unsigned long c = 0)
{
    std::fprintf(diag(), format, a, b, c);
    std::fflush(diag());
}

} // namespace

void ComPort::setDiagnosticStream(std::FILE* stream) { diagnosticStream = stream; }

int ComPort::failAndClose(DWORD windowsError)
{
    handle_.reset();
    return statusFromWindowsError(windowsError);
}

int ComPort::open(const char* path, const LineSettings& line)
{
    // One port at a time: a handle still held is closed first.
    handle_.reset();
    arrivedReads_ = false;
    for (UniqueHandle* done : {&readDone_, &writeDone_}) {
        if (!done->valid())
            done->reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!done->valid())
            return statusFromWindowsError(GetLastError());
    }
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return statusFromWindowsError(GetLastError());
    handle_.reset(h);

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_.get(), &dcb))
        return failAndClose(GetLastError());
    dcb.BaudRate = line.baudRate;
    dcb.Parity = static_cast<BYTE>(line.parity);
    dcb.ByteSize = static_cast<BYTE>(line.dataBits);
    dcb.StopBits = static_cast<BYTE>(line.stopBits);
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    if (!SetCommState(handle_.get(), &dcb))
        return failAndClose(GetLastError());
    if (!SetCommMask(handle_.get(), EV_RXCHAR))
        return failAndClose(GetLastError());
    if (!SetupComm(handle_.get(), kQueueSize, kQueueSize))
        return failAndClose(GetLastError());
    if (!PurgeComm(handle_.get(), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR))
        return failAndClose(GetLastError());

    int status = setReadTimeout(kDefaultTimeoutMs);
    if (status == 0)
        status = setWriteTimeout(kDefaultTimeoutMs);
    if (status != 0)
        handle_.reset();
    return status;
}

int ComPort::setReadTimeout(uint32_t ms, COMMTIMEOUTS* inForce)
{
    COMMTIMEOUTS t{};
    if (!GetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    t.ReadTotalTimeoutConstant = ms;
    if (!SetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    if (inForce)
        *inForce = t;
    return 0;
}

int ComPort::setWriteTimeout(uint32_t ms)
{
    COMMTIMEOUTS t{};
    if (!GetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    t.WriteTotalTimeoutConstant = ms;
    if (!SetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    writeMultiplierMs_ = t.WriteTotalTimeoutMultiplier;
    writeConstantMs_ = ms;
    return 0;
}

bool ComPort::complete(BOOL ok, OVERLAPPED& o, DWORD& n, DWORD& error, DWORD boundMs)
{
    n = 0;
    if (!ok && GetLastError() != ERROR_IO_PENDING) {
        error = GetLastError();
        return false;
    }
    // Still not done well past its time-out (see comWaitBoundMs): cancelled, it reports
    // what it moved.
    if (!ok && WaitForSingleObject(o.hEvent, boundMs) == WAIT_TIMEOUT)
        CancelIo(handle_.get());
    if (!GetOverlappedResult(handle_.get(), &o, &n, TRUE)) {
        error = GetLastError();
        // A read or write whose time-out ran out is a success with what it moved.
        // Windows completes it so; Wine completes one that moved nothing with this error.
        if (error != ERROR_TIMEOUT && error != ERROR_OPERATION_ABORTED)
            return false;
        n = static_cast<DWORD>(o.InternalHigh);
    }
    // What the calls left behind (ERROR_IO_PENDING) is no error of the transfer.
    SetLastError(0);
    return true;
}

int ComPort::read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs)
{
    if (arrivedReads_) {
        if (const int restored = restoreReadTimeouts())
            return restored;
    }
    COMMTIMEOUTS t{};
    const int status = setReadTimeout(timeoutMs, &t);
    if (status != 0)
        return status;
    OVERLAPPED o{};
    o.hEvent = readDone_.get();
    DWORD n = 0;
    DWORD e = 0;
    const DWORD bound = comWaitBoundMs(t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, wanted);
    if (!complete(ReadFile(handle_.get(), buffer, wanted, nullptr, &o), o, n, e, bound)) {
        diagLine("COM Port read error: %lu\n", e);
        return statusFromWindowsError(e);
    }
    got = n;
    return 0;
}

int ComPort::readArrived(uint8_t* buffer, uint32_t wanted, uint32_t& got, HANDLE wake)
{
    got = 0;
    if (wanted == 0)
        return 0;
    if (!arrivedReads_) {
        if (const int status = useReadWaitsForBytes())
            return status;
    }
    OVERLAPPED o{};
    o.hEvent = readDone_.get();
    BOOL ok = ReadFile(handle_.get(), buffer, 1, nullptr, &o);
    if (!ok && GetLastError() == ERROR_IO_PENDING && wake) {
        const HANDLE waits[] = {o.hEvent, wake};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
            CancelIo(handle_.get());
    }
    DWORD n = 0;
    DWORD e = 0;
    if (!complete(ok, o, n, e, INFINITE)) {
        diagLine("COM Port read error: %lu\n", e);
        return statusFromWindowsError(e);
    }
    got = n;
    if (got == 0)
        return 0;
    // The bytes queued behind the first: a read of no more than are there completes
    // without waiting.
    COMSTAT queued{};
    DWORD lineErrors = 0;
    if (!ClearCommError(handle_.get(), &lineErrors, &queued))
        return statusFromWindowsError(GetLastError());
    const uint32_t more = queued.cbInQue < wanted - 1 ? queued.cbInQue : wanted - 1;
    if (more == 0)
        return 0;
    // The bytes are there: the read cannot legitimately wait.
    if (!complete(ReadFile(handle_.get(), buffer + 1, more, nullptr, &o), o, n, e, kComTimeoutGraceMs)) {
        diagLine("COM Port read error: %lu\n", e);
        return statusFromWindowsError(e);
    }
    got += n;
    return 0;
}

int ComPort::useReadWaitsForBytes()
{
    COMMTIMEOUTS t{};
    if (!GetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    portReadTimeouts_ = t;
    t.ReadIntervalTimeout = 0;
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = 0;
    if (!SetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    arrivedReads_ = true;
    return 0;
}

int ComPort::restoreReadTimeouts()
{
    COMMTIMEOUTS t{};
    if (!GetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    // The plain reads set their constant themselves.
    t.ReadIntervalTimeout = portReadTimeouts_.ReadIntervalTimeout;
    t.ReadTotalTimeoutMultiplier = portReadTimeouts_.ReadTotalTimeoutMultiplier;
    if (!SetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    arrivedReads_ = false;
    return 0;
}

int ComPort::write(const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    OVERLAPPED o{};
    o.hEvent = writeDone_.get();
    DWORD n = 0;
    DWORD e = 0;
    const DWORD bound = comWaitBoundMs(writeMultiplierMs_, writeConstantMs_, count);
    if (!complete(WriteFile(handle_.get(), buffer, count, nullptr, &o), o, n, e, bound)) {
        errno = errorNumberFromWindowsError(e);
        diagLine("COM Port write error: %lu\n", e);
        return statusFromWindowsError(e);
    }
    written = n;
    if (n == count)
        return 0;
    // A write that only timed out leaves no error behind, so a short write may report 0.
    e = GetLastError();
    errno = errorNumberFromWindowsError(e);
    diagLine("dataCount (%lu)<> len (%lu), rc: %lu\n", count, n, e);
    return statusFromWindowsError(e);
}

int ComPort::close()
{
    const BOOL ok = CloseHandle(handle_.release());
    return ok ? 0 : statusFromWindowsError(GetLastError());
}

} // namespace clser
