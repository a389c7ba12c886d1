// Where a traffic record goes: a sink the record's writer thread appends lines to (the
// record file, or in tests a sink that is slow or fails on purpose), and the file
// itself. Statuses are Windows error codes, 0 for success.
#pragma once

#include "unique_handle.h"
#include "windows_error_text.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace clser {

class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual DWORD append(std::string_view text) = 0;
    // Hands what was appended to the disk.
    virtual DWORD flush() = 0;
    // Bytes in the current file.
    virtual uint64_t size() const = 0;
    // Renames the current file to <name>.1 (replacing an older one) and begins a new one.
    // A rename that fails leaves the file as it was, still written at its end, and sets
    // renameError. Returns the error that leaves no file to write to, else 0.
    virtual DWORD rollOver(DWORD& renameError) = 0;
    virtual const std::string& name() const = 0;
};

// Opens a record file for appending (creating it when absent). A path that names a
// device is refused with ERROR_INVALID_NAME before anything is opened, and so is anything
// that opens but is no disk file.
DWORD openRecordFile(const std::string& path, UniqueFile& file);

// Whether the launcher's bridge will be able to open the record file: 0 or the Windows
// error. A file that the check had to create is removed again.
DWORD checkRecordFileOpens(const std::string& path);

class RecordFile : public RecordSink {
public:
    // 0 with file set, or the Windows error of the open.
    static DWORD open(const std::string& path, std::unique_ptr<RecordSink>& file);

    DWORD append(std::string_view text) override;
    DWORD flush() override;
    uint64_t size() const override { return size_; }
    DWORD rollOver(DWORD& renameError) override;
    const std::string& name() const override { return path_; }

private:
    RecordFile(std::string path, UniqueFile file, uint64_t size);

    std::string path_;
    UniqueFile file_;
    uint64_t size_;
};

} // namespace clser
