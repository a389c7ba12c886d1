#include "record_file.h"

#include "traffic_record_settings.h"

namespace clser {

DWORD openRecordFile(const std::string& path, UniqueFile& file)
{
    if (namesDevice(path))
        return ERROR_INVALID_NAME;
    // Others may read the file while the bridge writes it.
    file.reset(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError();
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        file.reset();
        return ERROR_INVALID_NAME;
    }
    return 0;
}

DWORD checkRecordFileOpens(const std::string& path)
{
    if (namesDevice(path))
        return ERROR_INVALID_NAME;
    UniqueFile file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError();
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    const bool disk = GetFileType(file.get()) == FILE_TYPE_DISK;
    file.reset();
    if (created && disk)
        DeleteFileA(path.c_str());
    return disk ? 0 : ERROR_INVALID_NAME;
}

DWORD RecordFile::open(const std::string& path, std::unique_ptr<RecordSink>& file)
{
    UniqueFile handle;
    if (const DWORD error = openRecordFile(path, handle))
        return error;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle.get(), &size))
        return GetLastError();
    file.reset(new RecordFile(path, std::move(handle), static_cast<uint64_t>(size.QuadPart)));
    return 0;
}

RecordFile::RecordFile(std::string path, UniqueFile file, uint64_t size)
    : path_(std::move(path)), file_(std::move(file)), size_(size)
{
}

DWORD RecordFile::append(std::string_view text)
{
    while (!text.empty()) {
        DWORD written = 0;
        if (!WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        size_ += written;
        text.remove_prefix(written);
    }
    return 0;
}

DWORD RecordFile::flush() { return FlushFileBuffers(file_.get()) ? 0 : GetLastError(); }

DWORD RecordFile::rollOver(DWORD& renameError)
{
    renameError = 0;
    // Renamed while still open (it is open for deleting), so that a rename that fails
    // (a viewer holds the file, the longer name does not fit) leaves it as it was.
    const std::string older = path_ + ".1";
    if (!MoveFileExA(path_.c_str(), older.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        renameError = GetLastError();
        return 0;
    }
    UniqueFile next;
    const DWORD error = openRecordFile(path_, next);
    file_ = std::move(next);
    size_ = 0;
    LARGE_INTEGER size{};
    if (!error && GetFileSizeEx(file_.get(), &size))
        size_ = static_cast<uint64_t>(size.QuadPart);
    return error;
}

} // namespace clser
