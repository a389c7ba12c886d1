// What a simulated maker's serial library does besides the standard calls: find its
// configuration (the file a variable of its own names), keep its port table, make an open
// port "in use" for other processes with a named kernel object, and report its decisions
// with OutputDebugStringA, as a library without a user interface can. clserbvk.dll and the
// other makers' stand-ins are thin layers of exports over one of these.
#pragma once

#include "sim_config.h"
#include "sim_port_table.h"

#include "cl_serial_api.h"

#include <new>
#include <string>

namespace clser::sim {

struct SimLibraryIdentity {
    const char* name;            // "clserbvk": begins its debug lines and its port claims' names
    const char* configVariable;  // the variable naming its configuration file
    SimConfig (*defaults)();     // its ports without a configuration file
};

class SimLibrary {
public:
    explicit SimLibrary(const SimLibraryIdentity& identity);

    void debugLine(const std::string& text) const;
    // Reads the configuration afresh when no port of this process is open.
    void refreshConfiguration();
    SimPortTable& table() { return table_; }
    // Closes the reference and reports what the port lost or saw overlap.
    int32_t close(void* reference);

private:
    ConfigSource loadConfigSource(std::vector<std::string>* report) const;

    SimLibraryIdentity identity_;
    SimPortTable table_;
};

// Runs a call of the library; nothing thrown crosses it.
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

} // namespace clser::sim
