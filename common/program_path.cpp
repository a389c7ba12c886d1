#include "program_path.h"

namespace clser {

std::string modulePath(HMODULE module)
{
    // Longer than any path the system can name; a module path never reaches it.
    constexpr std::size_t kLongestPath = 32768;
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        // A path that fills the buffer may have been cut: read it again into a larger one.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= kLongestPath)
            return {};
        path.resize(path.size() * 2);
    }
}

std::string directoryOf(std::string_view path)
{
    const auto slash = path.rfind('\\');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

} // namespace clser
