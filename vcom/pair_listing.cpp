#include "pair_listing.h"

#include "environment_value.h"
#include "list_file_location.h"
#include "pair_list_parser.h"
#include "setupc_location.h"
#include "setupc_runner.h"
#include "text_format.h"
#include "unique_handle.h"
#include "vcom_messages.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <share.h>
#include <string>

namespace clser::vcom {
namespace {

constexpr unsigned long kListWaitMs = 30000;
// setupc may still be closing the file when its process has ended.
constexpr DWORD kSettleMs = 200;

// Every process lists through the same file in TEMP. Processes started together (the
// launcher starts one bridge per connection) would otherwise delete the file under each
// other's read and take an empty list for a valid one. Listings take turns through a
// named mutex; when the turn does not come within a whole listing's time, the listing
// goes ahead anyway.
constexpr char kListFileMutexName[] = "TarvVirtualComPort list file";
constexpr DWORD kTurnWaitMs = kListWaitMs + kSettleMs + 5000;

class ListFileTurn {
public:
    ListFileTurn() : mutex_(CreateMutexA(nullptr, FALSE, kListFileMutexName))
    {
        if (!mutex_)
            return;
        const DWORD waited = WaitForSingleObject(mutex_.get(), kTurnWaitMs);
        owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~ListFileTurn()
    {
        if (owned_)
            ReleaseMutex(mutex_.get());
    }
    ListFileTurn(const ListFileTurn&) = delete;
    ListFileTurn& operator=(const ListFileTurn&) = delete;

private:
    UniqueHandle mutex_;
    bool owned_ = false;
};

struct FileCloser {
    void operator()(FILE* f) const noexcept { std::fclose(f); }
};
using UniqueCFile = std::unique_ptr<FILE, FileCloser>;

void deleteOldListFile(const std::string& listFile)
{
    if (GetFileAttributesA(listFile.c_str()) != INVALID_FILE_ATTRIBUTES || GetLastError() != ERROR_FILE_NOT_FOUND)
        DeleteFileA(listFile.c_str());
}

// The whole file as a text-mode read gives it (CR LF read as one line feed).
bool readListFile(const std::string& listFile, std::string* text)
{
    UniqueCFile file(_fsopen(listFile.c_str(), "r", _SH_DENYNO));
    if (!file)
        return false;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        text->append(chunk, n);
    return true;
}

} // namespace

int refreshPairList(VComModule& module)
{
    module.pairs.clear();
    const auto location = listFileLocation(environmentValue("TEMP"));
    if (!location) {
        setLastErrorText(text::kTempDirectoryUnusable);
        return 0;
    }
    const ListFileTurn turn;
    deleteOldListFile(location->listFile);

    const auto run = runSetupc(module.setupcPath, module.com0comDirectory, "open", location->listParameters,
                               kListWaitMs);
    switch (run.outcome) {
    case SetupcRun::StartFailed:
        setLastErrorText(formatBounded(512, text::kListStartFailed, module.com0comDirectory.c_str()));
        return 0;
    case SetupcRun::WaitFailed:
        setLastErrorText(text::kListWaitFailed);
        return 0;
    case SetupcRun::NoProcess:
        return 1;
    case SetupcRun::Finished:
        break;
    }

    Sleep(kSettleMs);
    std::string fileText;
    if (!readListFile(location->listFile, &fileText))
        return 1;
    auto parsed = parsePairList(fileText);
    module.pairs = std::move(parsed.pairs);
    if (!parsed.valid) {
        setLastErrorText(text::kInvalidPairNaming);
        return 0;
    }
    return 1;
}

} // namespace clser::vcom
