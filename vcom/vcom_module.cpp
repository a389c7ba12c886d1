#include "vcom_module.h"

#include "vcom_messages.h"

#include <cstring>

namespace clser::vcom {

VComModule*& currentModule()
{
    // Deliberately never freed at unload: only TarvVComClose ends the module object.
    static VComModule* module = nullptr;
    return module;
}

const char* stateCheckFailure(StateCheckWording wording, const VComModule* module)
{
    if (module && module->initialised)
        return nullptr;
    switch (wording) {
    case StateCheckWording::Plain:
        return module ? text::kNotSuccessfullyInitialized : text::kNotInitialized;
    case StateCheckWording::Dotted:
        return module ? text::kNotSuccessfullyInitializedDot : text::kNotInitializedDot;
    case StateCheckWording::Remove:
        return text::kRemoveNotInitialized;
    }
    return text::kNotInitialized;
}

namespace {
std::string& lastErrorStorage()
{
    static std::string text;
    return text;
}
} // namespace

const std::string& lastErrorText() { return lastErrorStorage(); }

void setLastErrorText(std::string text) { lastErrorStorage() = std::move(text); }

int describeError(const std::string& text, char* buffer)
{
    if (text.empty())
        return -1;
    const std::size_t size = text.size() + 1;
    if (!buffer)
        return static_cast<int>(size);
    std::memcpy(buffer, text.c_str(), size);
    return 0;
}

void copyPairText(char* buffer, const std::string& text)
{
    if (!buffer)
        return;
    const std::size_t n = text.size() < kPairTextBufferSize - 1 ? text.size() : kPairTextBufferSize - 1;
    std::memcpy(buffer, text.data(), n);
}

} // namespace clser::vcom
