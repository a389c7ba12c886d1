#include "user_port.h"

#include <algorithm>

namespace clser::test {

bool UserPort::open(const std::string& name)
{
    const std::string path = "\\\\.\\" + name;
    handle_.reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle_)
        return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(handle_.get(), &dcb);
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    SetCommState(handle_.get(), &dcb);
    COMMTIMEOUTS t{};
    t.ReadTotalTimeoutConstant = 50;
    t.WriteTotalTimeoutConstant = 2000;
    SetCommTimeouts(handle_.get(), &t);
    PurgeComm(handle_.get(), PURGE_RXCLEAR | PURGE_TXCLEAR);
    return true;
}

bool UserPort::write(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        if (!WriteFile(handle_.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr))
            return false;
        if (n == 0)
            return false;
        done += n;
    }
    return true;
}

std::string UserPort::read(size_t want, DWORD timeoutMs)
{
    std::string got;
    DWORD quietSince = GetTickCount();
    while (got.size() < want && GetTickCount() - quietSince < timeoutMs) {
        char buf[4096];
        DWORD n = 0;
        const DWORD ask = static_cast<DWORD>(std::min(sizeof buf, want - got.size()));
        if (!ReadFile(handle_.get(), buf, ask, &n, nullptr))
            break;
        if (n > 0) {
            got.append(buf, n);
            quietSince = GetTickCount();
        }
    }
    return got;
}

} // namespace clser::test
