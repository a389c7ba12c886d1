#include "winsock_error_status.h"

namespace clser::network {

int errorNumberFromWinsockError(int32_t e)
{
    switch (e) {
    case 0:
        return 0;
    case 10013:  // WSAEACCES
        return 13;
    case 10014:  // WSAEFAULT
        return 14;
    case 10022:  // WSAEINVAL
        return 22;
    case 10024:  // WSAEMFILE
        return 24;
    case 10048:  // WSAEADDRINUSE
        return 100;
    case 10049:  // WSAEADDRNOTAVAIL
        return 101;
    case 10053:  // WSAECONNABORTED
        return 106;
    case 10054:  // WSAECONNRESET
    case 10101:  // WSAEDISCON
        return 108;
    case 10055:  // WSAENOBUFS
        return 119;
    case 10057:  // WSAENOTCONN
    case 10058:  // WSAESHUTDOWN
        return 126;
    case 10060:  // WSAETIMEDOUT
        return 138;
    case 10091:  // WSASYSNOTREADY
    case 10092:  // WSAVERNOTSUPPORTED
    case 10093:  // WSANOTINITIALISED
        return 19;
    default:
        return 14;
    }
}

} // namespace clser::network
