#include "sim_library.h"

#include "unique_handle.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace clser::sim {
namespace {

// The port's named mutex exists while some process has the port open; the kernel drops
// it when the last handle goes, at close or at the end of the holding process.
class NamedPortClaim : public PortClaim {
public:
    explicit NamedPortClaim(clser::UniqueHandle object) : object_(std::move(object)) {}

private:
    clser::UniqueHandle object_;
};

std::string environmentValue(const char* name)
{
    std::string value(256, '\0');
    DWORD n = GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
    if (n >= value.size()) {   // too small: n is the size needed, with the terminating zero
        value.assign(n, '\0');
        n = GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
    }
    value.resize(n < value.size() ? n : 0);
    return value;
}

// Processes that name the same file share one machine; letter case and the spelling of
// the path do not matter.
std::string scopeOfPath(const std::string& path)
{
    char full[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    std::string key = n > 0 && n < sizeof full ? std::string(full, n) : path;
    uint64_t hash = 14695981039346656037ull;
    for (char c : key) {
        hash ^= static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

} // namespace

SimLibrary::SimLibrary(const SimLibraryIdentity& identity)
    : identity_(identity), table_([name = std::string(identity.name)](const std::string& scope, uint32_t index)
                                      -> std::unique_ptr<PortClaim> {
          const std::string object = name + "-sim-" + scope + "-port" + std::to_string(index);
          clser::UniqueHandle claim(CreateMutexA(nullptr, FALSE, object.c_str()));
          if (!claim || GetLastError() == ERROR_ALREADY_EXISTS)
              return nullptr;
          return std::make_unique<NamedPortClaim>(std::move(claim));
      })
{
}

void SimLibrary::debugLine(const std::string& text) const
{
    OutputDebugStringA((std::string(identity_.name) + " simulated camera: " + text + "\n").c_str());
}

// Reads the configuration that the library's variable names; a missing, unreadable or
// refused file gives the built-in ports. `report` says what was decided and why.
ConfigSource SimLibrary::loadConfigSource(std::vector<std::string>* report) const
{
    ConfigSource source;
    const std::string variable = identity_.configVariable;
    std::string path = environmentValue(identity_.configVariable);
    if (path.empty()) {
        source.identity = "built-in";
        source.scope = "default";
        source.config = identity_.defaults();
        report->push_back(variable + " is not set: built-in camera with the default ports");
        return source;
    }
    source.scope = scopeOfPath(path);
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        source.identity = "unreadable:" + path;
        source.config = identity_.defaults();
        report->push_back("cannot read the configuration file " + path + ": built-in camera with the default ports");
        return source;
    }
    std::ostringstream text;
    text << file.rdbuf();
    source.identity = "file:" + path + "\n" + text.str();
    ConfigParseResult parsed = parseSimConfig(text.str());
    for (const std::string& error : parsed.errors)
        report->push_back(path + ": " + error);
    if (parsed.ok()) {
        source.config = std::move(parsed.config);
        report->push_back("configuration file " + path + ": " + std::to_string(source.config.ports.size()) + " ports");
    } else {
        source.config = identity_.defaults();
        report->push_back("configuration file " + path + " refused: built-in camera with the default ports");
    }
    return source;
}

void SimLibrary::refreshConfiguration()
{
    std::vector<std::string> report;
    bool replaced = table_.refreshWhenIdle([&] { return loadConfigSource(&report); });
    // Said once per change, not at every call.
    if (replaced)
        for (const std::string& line : report)
            debugLine(line);
}

int32_t SimLibrary::close(void* reference)
{
    ClosedPort closed;
    int32_t status = table_.close(reference, &closed);
    const std::string port = "port " + std::to_string(closed.index) + " closed: ";
    if (closed.totals.droppedBytes != 0)
        debugLine(port + std::to_string(closed.totals.droppedBytes) +
                  " bytes from the camera were lost, they arrived while its receive buffer (" +
                  std::to_string(closed.receiveBuffer) + " bytes) was full");
    if (closed.totals.overlappingCalls != 0)
        debugLine(port + std::to_string(closed.totals.overlappingCalls) +
                  " calls began while another call on the same reference was in progress");
    return status;
}

} // namespace clser::sim
