// The Camera Link standard's serial calls that this system uses, as every maker's serial
// library (clser<maker>.dll) exports them (C linkage, C calling convention). The programs
// bind them at run time by name (cl_serial_library.h); the stand-ins implement them.
#pragma once

#include <cstdint>

#ifdef _WIN32
#define CL_SERIAL_CALL __cdecl
#else
#define CL_SERIAL_CALL  // plain code built natively only reads the statuses
#endif

extern "C" {

enum : int32_t {
    CL_ERR_NO_ERR = 0,
    CL_ERR_BUFFER_TOO_SMALL = -10001,
    CL_ERR_MANU_DOES_NOT_EXIST = -10002,
    CL_ERR_PORT_IN_USE = -10003,
    CL_ERR_TIMEOUT = -10004,
    CL_ERR_INVALID_INDEX = -10005,
    CL_ERR_INVALID_REFERENCE = -10006,
    CL_ERR_ERROR_NOT_FOUND = -10007,
    CL_ERR_BAUD_RATE_NOT_SUPPORTED = -10008,
    CL_ERR_OUT_OF_MEMORY = -10009,
    // Given by a caller that binds the library itself: the file does not load, or it
    // lacks the call.
    CL_ERR_UNABLE_TO_LOAD_DLL = -10098,
    CL_ERR_FUNCTION_NOT_FOUND = -10099,
};

enum : uint32_t {
    CL_BAUDRATE_9600 = 1,
    CL_BAUDRATE_19200 = 2,
    CL_BAUDRATE_38400 = 4,
    CL_BAUDRATE_57600 = 8,
    CL_BAUDRATE_115200 = 16,
    CL_BAUDRATE_230400 = 32,
    CL_BAUDRATE_460800 = 64,
    CL_BAUDRATE_921600 = 128,
};

int32_t CL_SERIAL_CALL clSerialInit(uint32_t serialIndex, void** serialRef);
int32_t CL_SERIAL_CALL clSetBaudRate(void* serialRef, uint32_t baudRate);
int32_t CL_SERIAL_CALL clSerialRead(void* serialRef, int8_t* buffer, uint32_t* bufferSize, uint32_t serialTimeout);
int32_t CL_SERIAL_CALL clSerialWrite(void* serialRef, int8_t* buffer, uint32_t* bufferSize, uint32_t serialTimeout);
int32_t CL_SERIAL_CALL clSerialClose(void* serialRef);
int32_t CL_SERIAL_CALL clGetNumSerialPorts(uint32_t* numSerialPorts);
// Optional: a library may lack them.
// The maker's name into a buffer of *bufferSize bytes (in: its size, out: the size used
// or needed) and the version of the standard the library follows.
int32_t CL_SERIAL_CALL clGetManufacturerInfo(int8_t* manufacturerName, uint32_t* bufferSize, uint32_t* version);
// The library's own text of a status, as clGetManufacturerInfo fills its buffer.
int32_t CL_SERIAL_CALL clGetErrorText(int32_t errorCode, int8_t* errorText, uint32_t* errorTextSize);
// The baud-rate constants the open port can run at, one bit each.
int32_t CL_SERIAL_CALL clGetSupportedBaudRates(void* serialRef, uint32_t* baudRates);
// Throws away what the port holds in either direction.
int32_t CL_SERIAL_CALL clFlushPort(void* serialRef);

using ClSerialInitCall = int32_t(CL_SERIAL_CALL*)(uint32_t, void**);
using ClSetBaudRateCall = int32_t(CL_SERIAL_CALL*)(void*, uint32_t);
using ClSerialTransferCall = int32_t(CL_SERIAL_CALL*)(void*, int8_t*, uint32_t*, uint32_t);
using ClSerialCloseCall = int32_t(CL_SERIAL_CALL*)(void*);
using ClGetNumSerialPortsCall = int32_t(CL_SERIAL_CALL*)(uint32_t*);
using ClGetManufacturerInfoCall = int32_t(CL_SERIAL_CALL*)(int8_t*, uint32_t*, uint32_t*);
using ClGetErrorTextCall = int32_t(CL_SERIAL_CALL*)(int32_t, int8_t*, uint32_t*);
using ClGetSupportedBaudRatesCall = int32_t(CL_SERIAL_CALL*)(void*, uint32_t*);
using ClFlushPortCall = int32_t(CL_SERIAL_CALL*)(void*);

} // extern "C"
