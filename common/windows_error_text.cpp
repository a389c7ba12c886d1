#include "windows_error_text.h"

#include "unique_handle.h"

#include <string_view>

namespace clser {

std::string windowsErrorText(DWORD error)
{
    std::string text = "Windows error " + std::to_string(error);
    char* message = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<char*>(&message), 0, nullptr);
    const UniqueLocal owner(static_cast<HLOCAL>(message));
    std::string_view said(message ? message : "", length);
    while (!said.empty() && (said.back() == '\r' || said.back() == '\n' || said.back() == ' '))
        said.remove_suffix(1);
    if (!said.empty())
        text += ": " + std::string(said);
    return text;
}

} // namespace clser
