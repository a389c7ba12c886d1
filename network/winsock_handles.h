// Owners for Winsock's resources: the library's start-up, sockets and socket events.
#pragma once

#include <winsock2.h>

#include "unique_handle.h"

namespace clser::network {

namespace detail {
struct SocketTraits {
    using type = SOCKET;
    static SOCKET invalid() noexcept { return INVALID_SOCKET; }
    static void close(SOCKET s) noexcept { ::closesocket(s); }
};
inline void closeWsaEvent(WSAEVENT e) noexcept { ::WSACloseEvent(e); }
} // namespace detail

using UniqueSocket = UniqueAny<detail::SocketTraits>;
using UniqueWsaEvent = UniqueAny<NullIsNone<WSAEVENT, detail::closeWsaEvent>>;

// WSAStartup for 2.2 on construction, WSACleanup on destruction when it succeeded.
class WinsockLibrary {
public:
    WinsockLibrary() noexcept
    {
        WSADATA data;
        error_ = ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockLibrary()
    {
        if (error_ == 0)
            ::WSACleanup();
    }
    WinsockLibrary(const WinsockLibrary&) = delete;
    WinsockLibrary& operator=(const WinsockLibrary&) = delete;

    // 0 when Winsock is ready, else the Winsock error WSAStartup gave.
    int error() const noexcept { return error_; }

private:
    int error_ = 0;
};

} // namespace clser::network
