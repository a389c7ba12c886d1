// Where the frame-grabber SDK lies, decided from texts alone: the program's own path,
// or the installation root named in the environment.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace clser::discovery {

// Longest SDK root text kept (the cache holds 1024 bytes with the terminating zero).
constexpr std::size_t kMaxSdkRootLength = 1023;

// True for the directory names below an SDK root that a program may live in:
// "bin", "dll", "Hardware Applets", "lib", "lib64", letter case ignored.
bool isSdkSubdirectoryName(std::string_view name);

// Walks up from a module's full path (C:\X\bin\app.exe) to the first directory with one of
// the names above and gives its parent without a trailing backslash (C:\X); nullopt when
// no such directory lies on the path or nothing would remain above it.
std::optional<std::string> sdkRootFromModulePath(std::string_view modulePath);

// An installation root from an environment value: at most 1023 characters, trailing
// backslashes removed (the first character always stays).
std::string sdkRootFromEnvironmentValue(std::string_view value);

// "<root>\bin\<name>.dll"
std::string sdkLibraryPath(std::string_view root, std::string_view libraryName);

} // namespace clser::discovery
