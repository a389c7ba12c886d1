// A pair library that serves fixed pairs, and a user interface that records what it
// was asked to show.
#pragma once

#include "discovery_ui.h"
#include "pair_library.h"

#include <cstring>
#include <string>
#include <vector>

namespace clser::test {

struct FakePair {
    std::string pairId;
    std::string portName;
    std::string partnerName;
    bool readable = true;
};

class FakePairLibrary : public discovery::PairLibrary {
public:
    int initResult = 1;
    std::string errorText;       // empty: the library has no text
    std::vector<FakePair> pairs;
    int countOverride = -999;    // anything else replaces the pair count
    int initCalls = 0;
    int countCalls = 0;
    bool buffersWereDirty = false;

    int init() override
    {
        ++initCalls;
        return initResult;
    }
    int errorDescription(char* buffer) override
    {
        if (errorText.empty())
            return -1;
        if (!buffer)
            return static_cast<int>(errorText.size() + 1);
        std::memcpy(buffer, errorText.c_str(), errorText.size() + 1);
        return 0;
    }
    int pairCount() override
    {
        ++countCalls;
        return countOverride != -999 ? countOverride : static_cast<int>(pairs.size());
    }
    int onePair(int index, char* pairId, char* portName, char* partnerName) override
    {
        for (const char* b : {pairId, portName, partnerName})
            for (int i = 0; i < 20; ++i)
                if (b[i] != 0)
                    buffersWereDirty = true;
        if (index < 0 || index >= static_cast<int>(pairs.size()) || !pairs[index].readable)
            return 0;
        // Like the real library: the characters only, no terminating zero.
        const FakePair& p = pairs[index];
        std::memcpy(pairId, p.pairId.data(), p.pairId.size());
        std::memcpy(portName, p.portName.data(), p.portName.size());
        std::memcpy(partnerName, p.partnerName.data(), p.partnerName.size());
        return 1;
    }
};

class RecordingUi : public discovery::DiscoveryUi {
public:
    std::vector<std::string> shown;
    void showLibraryError(const std::string& text) override { shown.push_back(text); }
};

} // namespace clser::test
