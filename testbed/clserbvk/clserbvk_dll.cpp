// The simulated camera as the frame grabber's Camera Link serial library: the six
// standard calls over the port table. This layer only finds the configuration (the
// file named by CLSERBVK_SIM_CONFIG), makes an open port "in use" for other processes
// with a named kernel object, and reports its decisions (and, at a port's last close,
// the bytes its full receive buffer dropped and the calls that overlapped) with
// OutputDebugStringA, as a library without a user interface can.
#include "cl_serial_api.h"
#include "sim_config.h"
#include "sim_port_table.h"
#include "unique_handle.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <new>
#include <sstream>
#include <vector>

using namespace clser::sim;

namespace {

constexpr char kConfigVariable[] = "CLSERBVK_SIM_CONFIG";

void debugLine(const std::string& text)
{
    OutputDebugStringA(("clserbvk simulated camera: " + text + "\n").c_str());
}

// The port's named mutex exists while some process has the port open; the kernel drops
// it when the last handle goes, at close or at the end of the holding process.
class NamedPortClaim : public PortClaim {
public:
    explicit NamedPortClaim(clser::UniqueHandle object) : object_(std::move(object)) {}

private:
    clser::UniqueHandle object_;
};

std::unique_ptr<PortClaim> claimByName(const std::string& scope, uint32_t index)
{
    std::string name = "clserbvk-sim-" + scope + "-port" + std::to_string(index);
    clser::UniqueHandle object(CreateMutexA(nullptr, FALSE, name.c_str()));
    if (!object || GetLastError() == ERROR_ALREADY_EXISTS)
        return nullptr;
    return std::make_unique<NamedPortClaim>(std::move(object));
}

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

// Reads the configuration that CLSERBVK_SIM_CONFIG names; a missing, unreadable or
// refused file gives the built-in ports. `report` says what was decided and why.
ConfigSource loadConfigSource(std::vector<std::string>* report)
{
    ConfigSource source;
    std::string path = environmentValue(kConfigVariable);
    if (path.empty()) {
        source.identity = "built-in";
        source.scope = "default";
        source.config = defaultSimConfig();
        report->push_back(std::string(kConfigVariable) + " is not set: built-in camera with the default ports");
        return source;
    }
    source.scope = scopeOfPath(path);
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        source.identity = "unreadable:" + path;
        source.config = defaultSimConfig();
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
        source.config = defaultSimConfig();
        report->push_back("configuration file " + path + " refused: built-in camera with the default ports");
    }
    return source;
}

// Lives until the process ends: threads may still be inside a call while it exits.
SimPortTable& table()
{
    static SimPortTable* instance = new SimPortTable(claimByName);
    return *instance;
}

// The configuration is read afresh whenever a call finds no port of this process open.
void refreshConfiguration()
{
    std::vector<std::string> report;
    bool replaced = table().refreshWhenIdle([&] { return loadConfigSource(&report); });
    // Said once per change, not at every call.
    if (replaced)
        for (const std::string& line : report)
            debugLine(line);
}

template <typename Call>
int32_t guarded(Call call) noexcept
{
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return CL_ERR_OUT_OF_MEMORY;
    } catch (...) {
        return -1;   // nothing else can fail inside the simulation; never let it cross the call
    }
}

} // namespace

extern "C" {

int32_t CL_SERIAL_CALL clSerialInit(uint32_t serialIndex, void** serialRef)
{
    return guarded([&] {
        refreshConfiguration();
        return table().init(serialIndex, serialRef);
    });
}

int32_t CL_SERIAL_CALL clSetBaudRate(void* serialRef, uint32_t baudRate)
{
    return guarded([&] { return table().setBaudRate(serialRef, baudRate); });
}

int32_t CL_SERIAL_CALL clSerialRead(void* serialRef, int8_t* buffer, uint32_t* bufferSize, uint32_t serialTimeout)
{
    return guarded([&] { return table().read(serialRef, buffer, bufferSize, serialTimeout); });
}

int32_t CL_SERIAL_CALL clSerialWrite(void* serialRef, int8_t* buffer, uint32_t* bufferSize, uint32_t serialTimeout)
{
    return guarded([&] { return table().write(serialRef, buffer, bufferSize, serialTimeout); });
}

int32_t CL_SERIAL_CALL clSerialClose(void* serialRef)
{
    return guarded([&] {
        ClosedPort closed;
        int32_t status = table().close(serialRef, &closed);
        const std::string port = "port " + std::to_string(closed.index) + " closed: ";
        if (closed.totals.droppedBytes != 0)
            debugLine(port + std::to_string(closed.totals.droppedBytes)
                      + " bytes from the camera were lost, they arrived while its receive buffer ("
                      + std::to_string(closed.receiveBuffer) + " bytes) was full");
        if (closed.totals.overlappingCalls != 0)
            debugLine(port + std::to_string(closed.totals.overlappingCalls)
                      + " calls began while another call on the same reference was in progress");
        return status;
    });
}

int32_t CL_SERIAL_CALL clGetNumSerialPorts(uint32_t* numSerialPorts)
{
    return guarded([&] {
        if (!numSerialPorts)
            return CL_ERR_BUFFER_TOO_SMALL;
        refreshConfiguration();
        *numSerialPorts = table().portCount();
        return CL_ERR_NO_ERR;
    });
}

} // extern "C"
