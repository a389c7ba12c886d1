// The user's side of a connection as the transfer reads and writes it: the bridge end of
// a virtual pair (ComPort) or a client served over the network (NetworkUserSide). The
// transfer steps do not care which. Statuses: 0 success, negative on failure.
#pragma once

#include <windows.h>

#include <cstdint>

namespace clser {

class UserSide {
public:
    virtual ~UserSide() = default;
    // One read of at most wanted bytes that waits at most about timeoutMs.
    [[nodiscard]] virtual int read(uint8_t* buffer, uint32_t wanted, uint32_t& got, uint32_t timeoutMs) = 0;
    // Waits with no time-out until bytes arrive (and takes them at once) or wake is
    // signalled (0 with got 0).
    [[nodiscard]] virtual int readArrived(uint8_t* buffer, uint32_t wanted, uint32_t& got, HANDLE wake) = 0;
    // A short write may return 0 with written < count; the transfer retries the rest.
    [[nodiscard]] virtual int write(const uint8_t* buffer, uint32_t count, uint32_t& written) = 0;
};

} // namespace clser
