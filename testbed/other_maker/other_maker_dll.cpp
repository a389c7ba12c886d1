// Another maker's Camera Link serial library, written from the standard's calls only:
// its own port count, its own name, its own texts for its statuses and a subset of the
// line rates, with the simulated camera behind every port. Its configuration is the file
// named by <FILE>_SIM_CONFIG (CLSERLRK_SIM_CONFIG for clserlrk.dll), in the format of the
// simulated camera.
//
// The same source builds the broken and the sparse variants the tests need; the build
// chooses with these definitions:
//   STANDIN_NAME           the file's name without ".dll" ("clserlrk")
//   STANDIN_CONFIG_VARIABLE  the variable naming its configuration file ("CLSERLRK_SIM_CONFIG")
//   STANDIN_MAKER          the maker's name clGetManufacturerInfo gives; absent: no such call
//   STANDIN_INFO_FAILS     clGetManufacturerInfo fails
//   STANDIN_PORTS          the ports it has without a configuration file
//   STANDIN_REPORTED_PORTS what clGetNumSerialPorts claims instead of the port count
//   STANDIN_NO_PORT_COUNT  no clGetNumSerialPorts: callers probe the indices
//   STANDIN_NO_READ        no clSerialRead: not a usable serial library
#include "cl_serial_api.h"
#include "sim_library.h"

#include <cstring>

#define STANDIN_TEXT2(x) #x
#define STANDIN_TEXT(x) STANDIN_TEXT2(x)
#define STANDIN_EXPORT extern "C" __declspec(dllexport)

using namespace clser::sim;

namespace {

// 9600, 19200, 38400, 115200 and 921600: no 57600, 230400 or 460800.
constexpr uint32_t kRates = CL_BAUDRATE_9600 | CL_BAUDRATE_19200 | CL_BAUDRATE_38400 | CL_BAUDRATE_115200 |
                            CL_BAUDRATE_921600;

SimConfig defaults()
{
    SimConfig config = defaultSimConfig();
    config.ports.resize(STANDIN_PORTS, config.ports.front());
    for (std::size_t i = 0; i < config.ports.size(); ++i) {
        config.ports[i].baudRates = kRates;
        config.ports[i].commands["id?"] = "LRK-7 line camera\r\n";
        config.ports[i].commands["sn?"] = "LRK-" + std::to_string(1000 + i) + "\r\n";
    }
    return config;
}

SimLibrary& library()
{
    static SimLibrary* instance = new SimLibrary({STANDIN_TEXT(STANDIN_NAME), STANDIN_TEXT(STANDIN_CONFIG_VARIABLE),
                                                  defaults});
    return *instance;
}

// Fills a caller's text buffer as the standard's calls do: the size needed, with the
// terminating zero, goes back in *size; a buffer too small gets nothing.
int32_t giveText(const char* text, int8_t* buffer, uint32_t* size)
{
    if (!size)
        return CL_ERR_BUFFER_TOO_SMALL;
    const uint32_t needed = static_cast<uint32_t>(std::strlen(text)) + 1;
    const bool fits = buffer && *size >= needed;
    *size = needed;
    if (!fits)
        return CL_ERR_BUFFER_TOO_SMALL;
    std::memcpy(buffer, text, needed);
    return CL_ERR_NO_ERR;
}

} // namespace

STANDIN_EXPORT int32_t CL_SERIAL_CALL clSerialInit(uint32_t serialIndex, void** serialRef)
{
    return guarded([&] {
        library().refreshConfiguration();
        return library().table().init(serialIndex, serialRef);
    });
}

STANDIN_EXPORT int32_t CL_SERIAL_CALL clSetBaudRate(void* serialRef, uint32_t baudRate)
{
    return guarded([&] { return library().table().setBaudRate(serialRef, baudRate); });
}

#ifndef STANDIN_NO_READ
STANDIN_EXPORT int32_t CL_SERIAL_CALL clSerialRead(void* serialRef, int8_t* buffer, uint32_t* bufferSize,
                                                   uint32_t serialTimeout)
{
    return guarded([&] { return library().table().read(serialRef, buffer, bufferSize, serialTimeout); });
}
#endif

STANDIN_EXPORT int32_t CL_SERIAL_CALL clSerialWrite(void* serialRef, int8_t* buffer, uint32_t* bufferSize,
                                                    uint32_t serialTimeout)
{
    return guarded([&] { return library().table().write(serialRef, buffer, bufferSize, serialTimeout); });
}

STANDIN_EXPORT int32_t CL_SERIAL_CALL clSerialClose(void* serialRef)
{
    return guarded([&] { return library().close(serialRef); });
}

#ifndef STANDIN_NO_PORT_COUNT
STANDIN_EXPORT int32_t CL_SERIAL_CALL clGetNumSerialPorts(uint32_t* numSerialPorts)
{
    return guarded([&]() -> int32_t {
        if (!numSerialPorts)
            return CL_ERR_BUFFER_TOO_SMALL;
        library().refreshConfiguration();
#ifdef STANDIN_REPORTED_PORTS
        *numSerialPorts = STANDIN_REPORTED_PORTS;
#else
        *numSerialPorts = library().table().portCount();
#endif
        return CL_ERR_NO_ERR;
    });
}
#endif

#ifdef STANDIN_MAKER
STANDIN_EXPORT int32_t CL_SERIAL_CALL clGetManufacturerInfo(int8_t* manufacturerName, uint32_t* bufferSize,
                                                            uint32_t* version)
{
#ifdef STANDIN_INFO_FAILS
    (void)manufacturerName;
    (void)bufferSize;
    (void)version;
    return CL_ERR_MANU_DOES_NOT_EXIST;
#else
    if (version)
        *version = 0x11;  // the standard's version 1.1
    return giveText(STANDIN_MAKER, manufacturerName, bufferSize);
#endif
}
#endif

STANDIN_EXPORT int32_t CL_SERIAL_CALL clGetErrorText(int32_t errorCode, int8_t* errorText, uint32_t* errorTextSize)
{
    const char* text = nullptr;
    switch (errorCode) {
    case CL_ERR_NO_ERR: text = "LRK: no error"; break;
    case CL_ERR_PORT_IN_USE: text = "LRK: the port is held by another program"; break;
    case CL_ERR_TIMEOUT: text = "LRK: nothing arrived within the time-out"; break;
    case CL_ERR_INVALID_INDEX: text = "LRK: no port at this index"; break;
    case CL_ERR_INVALID_REFERENCE: text = "LRK: the port is not open"; break;
    case CL_ERR_BAUD_RATE_NOT_SUPPORTED: text = "LRK: the port does not run at this rate"; break;
    default: return CL_ERR_ERROR_NOT_FOUND;
    }
    return giveText(text, errorText, errorTextSize);
}

STANDIN_EXPORT int32_t CL_SERIAL_CALL clGetSupportedBaudRates(void* serialRef, uint32_t* baudRates)
{
    return guarded([&]() -> int32_t {
        if (!baudRates)
            return CL_ERR_BUFFER_TOO_SMALL;
        return library().table().supportedBaudRates(serialRef, baudRates);
    });
}

STANDIN_EXPORT int32_t CL_SERIAL_CALL clFlushPort(void* serialRef)
{
    return guarded([&]() -> int32_t {
        int8_t buffer[1024];
        uint32_t count;
        int32_t status;
        do {
            count = sizeof buffer;
            status = library().table().read(serialRef, buffer, &count, 0);
        } while (count > 0 && (status >= 0 || status == CL_ERR_TIMEOUT));
        return status == CL_ERR_TIMEOUT ? CL_ERR_NO_ERR : status;
    });
}
