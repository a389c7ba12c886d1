#include "com_port.h"

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

int ComPort::open(const char* path, uint32_t baudRate, int parity, uint32_t dataBits, int stopBits)
{
    // One port at a time: a handle still held is closed first.
    handle_.reset();
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return statusFromWindowsError(GetLastError());
    handle_.reset(h);

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_.get(), &dcb))
        return failAndClose(GetLastError());
    dcb.BaudRate = baudRate;
    dcb.Parity = static_cast<BYTE>(parity);
    dcb.ByteSize = static_cast<BYTE>(dataBits);
    dcb.StopBits = static_cast<BYTE>(stopBits);
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

int ComPort::setReadTimeout(uint32_t ms)
{
    COMMTIMEOUTS t{};
    if (!GetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    t.ReadTotalTimeoutConstant = ms;
    if (!SetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
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
    return 0;
}

int ComPort::setReadIntervalTimeout(uint32_t ms, uint32_t* previous)
{
    COMMTIMEOUTS t{};
    if (!GetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    if (previous)
        *previous = t.ReadIntervalTimeout;
    t.ReadIntervalTimeout = ms;
    if (!SetCommTimeouts(handle_.get(), &t))
        return statusFromWindowsError(GetLastError());
    return 0;
}

int ComPort::read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs)
{
    const int status = setReadTimeout(timeoutMs);
    if (status != 0)
        return status;
    DWORD n = 0;
    if (!ReadFile(handle_.get(), buffer, wanted, &n, nullptr)) {
        const DWORD e = GetLastError();
        diagLine("COM Port read error: %lu\n", e);
        return statusFromWindowsError(e);
    }
    got = n;
    return 0;
}

int ComPort::write(const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    DWORD n = 0;
    // A write that only times out sets no error; what an earlier call left behind on
    // this thread must not be taken for the reason of a short write.
    SetLastError(0);
    if (!WriteFile(handle_.get(), buffer, count, &n, nullptr)) {
        const DWORD e = GetLastError();
        errno = errorNumberFromWindowsError(e);
        diagLine("COM Port write error: %lu\n", e);
        return statusFromWindowsError(e);
    }
    written = n;
    if (n == count)
        return 0;
    // A time-out usually leaves no error behind, so a short write may report 0.
    const DWORD e = GetLastError();
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
