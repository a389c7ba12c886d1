#include "sdk_root_path.h"

namespace clser::discovery {
namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

// Index of the last character in front of the backslash run that ends at pos, or npos
// when only backslashes lie in front of it.
std::size_t stepBackOverBackslashes(std::string_view text, std::size_t pos)
{
    while (pos > 0 && text[pos] == '\\')
        --pos;
    return text[pos] == '\\' ? std::string_view::npos : pos;
}

} // namespace

bool isSdkSubdirectoryName(std::string_view name)
{
    for (std::string_view known : {"bin", "dll", "Hardware Applets", "lib", "lib64"})
        if (equalsIgnoringCase(name, known))
            return true;
    return false;
}

std::optional<std::string> sdkRootFromModulePath(std::string_view modulePath)
{
    std::size_t pos = modulePath.rfind('\\');
    if (pos == std::string_view::npos || pos == 0)
        return std::nullopt;
    for (;;) {
        // Drop the last component with the backslashes in front of it.
        const std::size_t last = stepBackOverBackslashes(modulePath, pos);
        if (last == std::string_view::npos)
            return std::nullopt;
        const std::string_view text = modulePath.substr(0, last + 1);
        const std::size_t slash = text.rfind('\\');
        if (slash == std::string_view::npos || slash == 0)
            return std::nullopt; // reached the start: nothing above could be the root
        if (isSdkSubdirectoryName(text.substr(slash + 1))) {
            const std::size_t rootEnd = stepBackOverBackslashes(text, slash);
            if (rootEnd == std::string_view::npos)
                return std::nullopt;
            return std::string(text.substr(0, rootEnd + 1));
        }
        pos = slash;
    }
}

std::string sdkRootFromEnvironmentValue(std::string_view value)
{
    std::string root(value.substr(0, kMaxSdkRootLength));
    while (root.size() > 1 && root.back() == '\\')
        root.pop_back();
    return root;
}

std::string sdkLibraryPath(std::string_view root, std::string_view libraryName)
{
    std::string path(root);
    path += "\\bin\\";
    path += libraryName;
    path += ".dll";
    return path;
}

} // namespace clser::discovery
