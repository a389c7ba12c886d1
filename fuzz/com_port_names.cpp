// The COM port list of the bridge program: a device listing of any bytes, read no
// further than its length, and pairs from a library whose texts may fill their 20-byte
// buffers without a terminator, merged in.
#include "com_port_names.h"
#include "dos_device_names.h"
#include "fuzz_check.h"
#include "virtual_pair_merge.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace clser::discovery;
using clser::VirtualPair;

namespace {

struct FuzzedPair {
    std::string texts[3];
    bool readable;
};

class FuzzedLibrary : public PairLibrary {
public:
    int initResult = 1;
    int errorSize = 0;
    int count = 0;
    std::vector<FuzzedPair> pairs;

    int init() override { return initResult; }
    int errorDescription(char* buffer) override
    {
        // Writes exactly the size it announced, terminator or not.
        if (buffer && errorSize > 0)
            std::memset(buffer, 'e', static_cast<size_t>(errorSize));
        return errorSize;
    }
    int pairCount() override { return count; }
    int onePair(int index, char* pairId, char* portName, char* partnerName) override
    {
        if (index < 0 || static_cast<size_t>(index) >= pairs.size() || !pairs[index].readable)
            return 0;
        char* buffers[3] = {pairId, portName, partnerName};
        for (int i = 0; i < 3; ++i)
            std::memcpy(buffers[i], pairs[index].texts[i].data(), pairs[index].texts[i].size());
        return 1;
    }
};

class QuietUi : public DiscoveryUi {
public:
    std::vector<std::string> shown;
    void showLibraryError(const std::string& text) override { shown.push_back(text); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    FuzzedLibrary library;
    library.initResult = fdp.ConsumeBool() ? 1 : 0;
    library.errorSize = fdp.ConsumeIntegralInRange<int>(-2, 300);
    library.count = fdp.ConsumeIntegralInRange<int>(-3, 40);
    const int pairCount = fdp.ConsumeIntegralInRange<int>(0, 40);
    for (int i = 0; i < pairCount; ++i) {
        FuzzedPair pair;
        for (auto& text : pair.texts)
            text = fdp.ConsumeBytesAsString(fdp.ConsumeIntegralInRange<size_t>(0, 20));
        pair.readable = fdp.ConsumeBool();
        library.pairs.push_back(pair);
    }

    // The listing in a heap block of exactly its size.
    const std::string listing = fdp.ConsumeRemainingBytesAsString();
    std::unique_ptr<char[]> block(new char[listing.size()]);
    std::memcpy(block.get(), listing.data(), listing.size());
    const auto names = clser::splitDosDeviceNames(std::string_view(block.get(), listing.size()));

    std::vector<VirtualPair> entries;
    for (const auto& name : names) {
        FUZZ_CHECK(!name.empty() && name.find('\0') == std::string::npos);
        if (isComPortDeviceName(name)) {
            FUZZ_CHECK(name.size() >= 4 && name.size() <= 7);
            entries.push_back({"", name, ""});
        }
    }
    const size_t plain = entries.size();

    QuietUi ui;
    mergeVirtualPairs(entries, library, ui);
    if (library.initResult == 0) {
        FUZZ_CHECK(entries.size() == plain);
        FUZZ_CHECK(ui.shown.size() == (library.errorSize > 0 ? 1u : 0u));
        if (!ui.shown.empty())
            FUZZ_CHECK(ui.shown[0].size() == static_cast<size_t>(library.errorSize));
    }
    for (const auto& entry : entries) {
        FUZZ_CHECK(entry.pairId.size() <= 20 && entry.portName.size() <= 20 && entry.partnerName.size() <= 20);
        FUZZ_CHECK(entry.pairId.find('\0') == std::string::npos);
    }
    return 0;
}
