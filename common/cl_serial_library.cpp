#include "cl_serial_library.h"

#include "cl_serial_library_names.h"
#include "critical_section.h"
#include "letter_case.h"
#include "unique_handle.h"
#include "windows_error_text.h"

#include <map>
#include <memory>

namespace clser {

struct ClSerialLibraryBinder {
    static ClSerialLibraryLoad bind(const std::string& file, std::unique_ptr<ClSerialLibrary>& bound)
    {
        // A library in a maker's folder finds the files it needs beside it.
        const bool path = file.find_first_of("\\/") != std::string::npos;
        UniqueModule module(LoadLibraryExA(file.c_str(), nullptr, path ? LOAD_WITH_ALTERED_SEARCH_PATH : 0));
        if (!module)
            return {nullptr, CL_ERR_UNABLE_TO_LOAD_DLL, "cannot be loaded (" + windowsErrorText(GetLastError()) + ")"};
        auto library = std::make_unique<ClSerialLibrary>();
        const char* missing = nullptr;
        auto call = [&](auto& slot, const char* name, bool required) {
            slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(
                reinterpret_cast<void*>(GetProcAddress(module.get(), name)));
            if (!slot && required && !missing)
                missing = name;
        };
        call(library->init_, "clSerialInit", true);
        call(library->read_, "clSerialRead", true);
        call(library->write_, "clSerialWrite", true);
        call(library->close_, "clSerialClose", true);
        call(library->setBaudRate_, "clSetBaudRate", true);
        call(library->numPorts_, "clGetNumSerialPorts", false);
        call(library->manufacturerInfo_, "clGetManufacturerInfo", false);
        call(library->errorText_, "clGetErrorText", false);
        call(library->supportedRates_, "clGetSupportedBaudRates", false);
        call(library->flush_, "clFlushPort", false);
        if (missing)
            return {nullptr, CL_ERR_FUNCTION_NOT_FOUND, std::string("lacks the call ") + missing};
        library->file_ = file;
        library->module_ = module.release();
        bound = std::move(library);
        return {bound.get(), CL_ERR_NO_ERR, ""};
    }
};

namespace {

// The libraries bound so far, by the file's name in lower case. Never freed (see the
// header); a library that failed to bind is tried again at the next request.
struct BoundLibraries {
    CriticalSection lock;
    std::map<std::string, std::unique_ptr<ClSerialLibrary>> byFile;
};

BoundLibraries& boundLibraries()
{
    static BoundLibraries* instance = new BoundLibraries;
    return *instance;
}

std::string textOfBuffer(const std::string& buffer) { return buffer.substr(0, buffer.find('\0')); }

} // namespace

ClSerialLibraryLoad loadClSerialLibrary(const std::string& file)
{
    BoundLibraries& bound = boundLibraries();
    CriticalSectionLock lock(bound.lock);
    std::unique_ptr<ClSerialLibrary>& slot = bound.byFile[lowerCase(file)];
    if (slot)
        return {slot.get(), CL_ERR_NO_ERR, ""};
    return ClSerialLibraryBinder::bind(file, slot);
}

std::optional<uint32_t> ClSerialLibrary::portCount() const
{
    if (numPorts_) {
        uint32_t count = 0;
        if (numPorts_(&count) < 0)
            return std::nullopt;
        return count;
    }
    return probedPortCount([this](uint32_t index) {
        void* ref = nullptr;
        const int32_t status = init_(index, &ref);
        if (status >= 0)
            close_(ref);
        return status;
    });
}

std::optional<std::string> ClSerialLibrary::manufacturer(bool* failed) const
{
    if (failed)
        *failed = false;
    if (!manufacturerInfo_)
        return std::nullopt;
    std::string buffer(256, '\0');
    uint32_t size = static_cast<uint32_t>(buffer.size());
    uint32_t version = 0;
    int32_t status = manufacturerInfo_(reinterpret_cast<int8_t*>(buffer.data()), &size, &version);
    if (status == CL_ERR_BUFFER_TOO_SMALL && size > buffer.size() && size <= 4096) {
        buffer.assign(size, '\0');
        status = manufacturerInfo_(reinterpret_cast<int8_t*>(buffer.data()), &size, &version);
    }
    if (status < 0) {
        if (failed)
            *failed = true;
        return std::nullopt;
    }
    return makerNameOfBuffer(buffer);
}

std::string ClSerialLibrary::errorText(int32_t status) const
{
    if (!errorText_)
        return "";
    std::string buffer(512, '\0');
    uint32_t size = static_cast<uint32_t>(buffer.size());
    if (errorText_(status, reinterpret_cast<int8_t*>(buffer.data()), &size) < 0)
        return "";
    return makerNameOfBuffer(textOfBuffer(buffer));
}

std::optional<uint32_t> ClSerialLibrary::supportedBaudRates(void* ref) const
{
    uint32_t rates = 0;
    if (!supportedRates_ || supportedRates_(ref, &rates) < 0)
        return std::nullopt;
    return rates;
}

bool ClSerialLibrary::flush(void* ref) const { return flush_ && flush_(ref) >= 0; }

std::optional<std::string> cameraLinkLibraryFolder()
{
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\cameralink", 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), "CLSERIALPATH", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || size > 32768)
        return std::nullopt;
    std::string value(size, '\0');
    if (RegQueryValueExA(key.get(), "CLSERIALPATH", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value = textOfBuffer(value.substr(0, size));
    if (type == REG_EXPAND_SZ) {
        char expanded[MAX_PATH * 4];
        const DWORD n = ExpandEnvironmentStringsA(value.c_str(), expanded, sizeof expanded);
        if (n > 0 && n <= sizeof expanded)
            value = expanded;
    }
    while (value.size() > 3 && (value.back() == '\\' || value.back() == '/'))
        value.pop_back();
    if (value.empty())
        return std::nullopt;
    return value;
}

std::vector<std::string> clSerialLibraryFilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    UniqueFind find(FindFirstFileA((folder + "\\clser*.dll").c_str(), &found));
    if (!find)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(found.cFileName);
    } while (FindNextFileA(find.get(), &found));
    return names;
}

ClSerialLibraryLoad loadOwnClSerialLibrary()
{
    ClSerialLibraryLoad load = loadClSerialLibrary(kOwnClSerialLibrary);
    if (load.library)
        return load;
    if (const std::optional<std::string> folder = cameraLinkLibraryFolder()) {
        const std::string path = *folder + "\\" + kOwnClSerialLibrary;
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return loadClSerialLibrary(path);
    }
    return load;
}

ClSerialLibraryLoad loadConnectionLibrary(const std::string& fileName)
{
    if (isOwnClSerialLibrary(fileName))
        return loadOwnClSerialLibrary();
    return loadConnectionLibrary(fileName, cameraLinkLibraryFolder());
}

ClSerialLibraryLoad loadConnectionLibrary(const std::string& fileName, const std::optional<std::string>& folder)
{
    if (isOwnClSerialLibrary(fileName))
        return loadOwnClSerialLibrary();
    if (const std::string problem = clLibraryNameProblem(fileName); !problem.empty())
        return {nullptr, CL_ERR_UNABLE_TO_LOAD_DLL, "is " + problem};
    if (!folder)
        return {nullptr, CL_ERR_UNABLE_TO_LOAD_DLL,
                "is not in a Camera Link library folder: CLSERIALPATH under HKEY_LOCAL_MACHINE\\SOFTWARE\\cameralink "
                "names none"};
    const std::string path = *folder + "\\" + fileName;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {nullptr, CL_ERR_UNABLE_TO_LOAD_DLL, "is not in the Camera Link library folder " + *folder};
    ClSerialLibraryLoad load = loadClSerialLibrary(path);
    if (!load.library)
        load.problem = "is not a serial library: it " + load.problem;
    return load;
}

std::string libraryLoadLine(const std::string& fileName, const ClSerialLibraryLoad& load)
{
    return "The Camera Link serial library " + (fileName.empty() ? std::string(kOwnClSerialLibrary) : fileName) +
           " " + load.problem;
}

} // namespace clser
