// The Camera Link standard's serial calls that this system uses, as the frame
// grabber's serial library exports them (C linkage, C calling convention).
#pragma once

#include <cstdint>

#define CL_SERIAL_CALL __cdecl

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

} // extern "C"
