// The simulated camera as the frame grabber's Camera Link serial library: the six
// standard calls over the port table. Its configuration is the file named by
// CLSERBVK_SIM_CONFIG (sim_library.h).
#include "cl_serial_api.h"
#include "sim_library.h"

using namespace clser::sim;

namespace {

// Lives until the process ends: threads may still be inside a call while it exits.
SimLibrary& library()
{
    static SimLibrary* instance = new SimLibrary({"clserbvk", "CLSERBVK_SIM_CONFIG", defaultSimConfig});
    return *instance;
}

} // namespace

extern "C" {

int32_t CL_SERIAL_CALL clSerialInit(uint32_t serialIndex, void** serialRef)
{
    return guarded([&] {
        library().refreshConfiguration();
        return library().table().init(serialIndex, serialRef);
    });
}

int32_t CL_SERIAL_CALL clSetBaudRate(void* serialRef, uint32_t baudRate)
{
    return guarded([&] { return library().table().setBaudRate(serialRef, baudRate); });
}

int32_t CL_SERIAL_CALL clSerialRead(void* serialRef, int8_t* buffer, uint32_t* bufferSize, uint32_t serialTimeout)
{
    return guarded([&] { return library().table().read(serialRef, buffer, bufferSize, serialTimeout); });
}

int32_t CL_SERIAL_CALL clSerialWrite(void* serialRef, int8_t* buffer, uint32_t* bufferSize, uint32_t serialTimeout)
{
    return guarded([&] { return library().table().write(serialRef, buffer, bufferSize, serialTimeout); });
}

int32_t CL_SERIAL_CALL clSerialClose(void* serialRef)
{
    return guarded([&] { return library().close(serialRef); });
}

int32_t CL_SERIAL_CALL clGetNumSerialPorts(uint32_t* numSerialPorts)
{
    return guarded([&] {
        if (!numSerialPorts)
            return CL_ERR_BUFFER_TOO_SMALL;
        library().refreshConfiguration();
        *numSerialPorts = library().table().portCount();
        return CL_ERR_NO_ERR;
    });
}

} // extern "C"
