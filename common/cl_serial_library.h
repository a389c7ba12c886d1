// A maker's Camera Link serial library bound at run time: LoadLibrary, then the standard
// calls by name. Five calls are required (init, read, write, close, set baud rate); the
// others are used where the library has them. This system's own library (clserbvk.dll)
// is bound the same way, so a PC without it still reaches other makers' grabbers.
//
// A library once bound stays loaded until the process ends: a maker's library may keep
// threads of its own running after its ports close, and references to it are held by
// ports on several threads.
#pragma once

#include "cl_serial_api.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace clser {

class ClSerialLibrary {
public:
    // The file as given to the loader (a path, or the bare name of this system's own).
    const std::string& file() const { return file_; }

    int32_t serialInit(uint32_t index, void** ref) const { return init_(index, ref); }
    int32_t setBaudRate(void* ref, uint32_t clBaudCode) const { return setBaudRate_(ref, clBaudCode); }
    int32_t serialRead(void* ref, int8_t* buffer, uint32_t* count, uint32_t timeoutMs) const
    {
        return read_(ref, buffer, count, timeoutMs);
    }
    int32_t serialWrite(void* ref, int8_t* buffer, uint32_t* count, uint32_t timeoutMs) const
    {
        return write_(ref, buffer, count, timeoutMs);
    }
    int32_t serialClose(void* ref) const { return close_(ref); }

    // clGetNumSerialPorts when the library has it (nullopt when it fails), else the
    // indices that clSerialInit accepts, probed from 0. Probed ports are opened and
    // closed at once; a port in use still counts.
    std::optional<uint32_t> portCount() const;
    // The maker's name from clGetManufacturerInfo; nullopt when the library lacks the
    // call, and with failed set when the call fails.
    std::optional<std::string> manufacturer(bool* failed = nullptr) const;
    // The library's own text of a status; empty when it has none.
    std::string errorText(int32_t status) const;
    // The baud-rate constants the open port runs at; nullopt when the library does not say.
    std::optional<uint32_t> supportedBaudRates(void* ref) const;
    // Throws away what the port holds; false when the library lacks the call.
    bool flush(void* ref) const;

private:
    friend struct ClSerialLibraryBinder;
    std::string file_;
    HMODULE module_ = nullptr;
    ClSerialInitCall init_ = nullptr;
    ClSetBaudRateCall setBaudRate_ = nullptr;
    ClSerialTransferCall read_ = nullptr;
    ClSerialTransferCall write_ = nullptr;
    ClSerialCloseCall close_ = nullptr;
    ClGetNumSerialPortsCall numPorts_ = nullptr;
    ClGetManufacturerInfoCall manufacturerInfo_ = nullptr;
    ClGetErrorTextCall errorText_ = nullptr;
    ClGetSupportedBaudRatesCall supportedRates_ = nullptr;
    ClFlushPortCall flush_ = nullptr;
};

// A library bound, or why not: status CL_ERR_UNABLE_TO_LOAD_DLL with problem "cannot be
// loaded (Windows error 193: ...)", or CL_ERR_FUNCTION_NOT_FOUND with "lacks the call
// clSerialRead". The problem follows the file's name in a line.
struct ClSerialLibraryLoad {
    const ClSerialLibrary* library = nullptr;
    int32_t status = CL_ERR_NO_ERR;
    std::string problem;
};

// Binds the library at file (a path, or a bare name that the loader searches for). The
// same file is bound once per process.
ClSerialLibraryLoad loadClSerialLibrary(const std::string& file);

// The folder in which makers install their serial libraries: CLSERIALPATH under
// HKEY_LOCAL_MACHINE\SOFTWARE\cameralink, in the registry view of this program; nullopt
// when the value is absent or empty.
std::optional<std::string> cameraLinkLibraryFolder();
// The file names "clser*.dll" in the folder, as the folder lists them.
std::vector<std::string> clSerialLibraryFilesIn(const std::string& folder);

// This system's own library: beside the programs (the loader's search), else in the
// Camera Link library folder.
ClSerialLibraryLoad loadOwnClSerialLibrary();
// The library a connection names: this system's own for an empty name or its own name,
// else the file of that name in the folder. problem then names what is wrong ("is not
// in the Camera Link library folder C:\...", "is a path instead of a file name").
ClSerialLibraryLoad loadConnectionLibrary(const std::string& fileName);
// The same with the folder given (nullopt: no folder registered).
ClSerialLibraryLoad loadConnectionLibrary(const std::string& fileName, const std::optional<std::string>& folder);

// "The Camera Link serial library clserbvk.dll cannot be loaded (...)": the line the
// programs say when a connection's library is not there.
std::string libraryLoadLine(const std::string& fileName, const ClSerialLibraryLoad& load);

} // namespace clser
