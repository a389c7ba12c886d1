// The user's end of a virtual pair, opened the way a terminal program opens it.
#pragma once

#include "unique_handle.h"

#include <windows.h>

#include <string>

namespace clser::test {

class UserPort {
public:
    bool open(const std::string& name);
    bool write(const std::string& bytes);
    // Reads until want bytes arrived or timeoutMs passed without them.
    std::string read(size_t want, DWORD timeoutMs);
    void close() { handle_.reset(); }

private:
    UniqueFile handle_;
};

} // namespace clser::test
